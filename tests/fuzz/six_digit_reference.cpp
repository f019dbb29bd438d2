#include "tests/fuzz/six_digit_reference.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Enough digits for the exact value of every float: the smallest subnormal, 2^-149, has 105
// significant digits, and glibc prints a double's exact expansion at any precision.
constexpr int kExactDigits = 120;

struct SixDigits {
    long digits = 0;   // 100000 to 999999
    int exponent = 0;  // the power of ten of the first digit
};

SixDigits roundHalfAwayFromZero(double magnitude) {
    std::array<char, kExactDigits + 16> exact{};
    std::snprintf(exact.data(), exact.size(), "%.*e", kExactDigits, magnitude);
    // "d.ddd...e±xx": the digits without the point, then the exponent.
    const std::string printed(exact.data());
    const std::string digits = printed.substr(0, 1) + printed.substr(2, kExactDigits);
    SixDigits rounded{std::stol(digits.substr(0, 6)),
                      std::atoi(printed.c_str() + printed.find('e') + 1)};
    // What lies beyond six digits is at least half a unit exactly when the seventh is 5 or more.
    if (digits[6] >= '5') {
        ++rounded.digits;
        if (rounded.digits == 1000000) {
            rounded.digits = 100000;
            ++rounded.exponent;
        }
    }
    return rounded;
}

// printf writes at least two exponent digits; the program writes three.
std::string withThreeExponentDigits(std::string text) {
    const std::size_t letter = text.find('e');
    if (letter == std::string::npos) {
        return text;
    }
    const int exponent = std::atoi(text.c_str() + letter + 1);
    std::array<char, 8> written{};
    std::snprintf(written.data(), written.size(), "e%c%03d", exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return text.substr(0, letter) + written.data();
}

}  // namespace

Text referenceNumberText(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    if (value == 0.0F) {
        return "0";  // negative zero included: the program never shows "-0"
    }
    const SixDigits rounded = roundHalfAwayFromZero(std::fabs(static_cast<double>(value)));
    // Six significant digits are exact in a double, so %g keeps them as they are and only
    // chooses between the fixed and the exponent layout and drops trailing zeros.
    const std::string decimal =
        std::to_string(rounded.digits) + "e" + std::to_string(rounded.exponent - 5);
    std::array<char, 32> laidOut{};
    std::snprintf(laidOut.data(), laidOut.size(), "%.6g", std::strtod(decimal.c_str(), nullptr));
    return (value < 0 ? "-" : "") + withThreeExponentDigits(laidOut.data());
}
