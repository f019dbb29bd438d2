#include "support/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

// Single precision is IEEE 754 binary32, so a double too large for it converts to infinity
// and the exact value of a float is m * 2^q with m below 2^24.
static_assert(std::numeric_limits<float>::is_iec559);

bool isLeadByte(unsigned char byte) {
    return byte >= 0x80;
}

// The half-width stand-in of a GBK pair, or 0 when the pair is kept as it is.
char halfWidthOf(unsigned char lead, unsigned char trail) {
    if (lead == 0xA1) {
        switch (trail) {
            case 0xA1:
                return ' ';
            case 0xAB:
                return '~';
            case 0xEE:
            case 0xEF:
                return '*';
            default:
                return 0;
        }
    }
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        return static_cast<char>(trail - 0x80);
    }
    return 0;
}

bool isSpace(char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}
bool isDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

std::size_t skipSpace(const Text& text, std::size_t at) {
    while (at < text.size() && isSpace(text[at])) {
        ++at;
    }
    return at;
}

std::size_t skipDigits(const Text& text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at;
}

// End of the exponent that starts at `at`, or `at` itself when there is no complete one:
// a letter without digits after it is not part of the number.
std::size_t exponentEnd(const Text& text, std::size_t at) {
    if (at >= text.size()) {
        return at;
    }
    const char letter = text[at];
    if (letter != 'e' && letter != 'E' && letter != 'd' && letter != 'D') {
        return at;
    }
    std::size_t digits = at + 1;
    if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) {
        ++digits;
    }
    const std::size_t end = skipDigits(text, digits);
    return end > digits ? end : at;
}

// Multiplies a decimal digit string (most significant first) by a small factor in place.
void multiplyDigits(std::string& digits, int factor) {
    int carry = 0;
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        const int product = (*digit - '0') * factor + carry;
        *digit = static_cast<char>('0' + product % 10);
        carry = product / 10;
    }
    while (carry > 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
        carry /= 10;
    }
}

// A positive finite value held exactly as its decimal digits and the power of ten of the
// first one.
struct ExactDecimal {
    std::string digits;
    int exponent = 0;
};

// Every float is a whole number times a power of two, and 2^-n = 5^n / 10^n, so its full
// decimal expansion needs only small multiplications; printf is not trusted for this
// because not every runtime prints all the digits exactly.
ExactDecimal exactDecimalOf(float magnitude) {
    int binaryExponent = 0;
    const float fraction = std::frexp(magnitude, &binaryExponent);
    const auto mantissa = static_cast<std::uint32_t>(std::ldexp(fraction, 24));
    binaryExponent -= 24;

    ExactDecimal exact{std::to_string(mantissa), 0};
    const int factor = binaryExponent >= 0 ? 2 : 5;
    for (int step = 0; step < std::abs(binaryExponent); ++step) {
        multiplyDigits(exact.digits, factor);
    }
    exact.exponent = static_cast<int>(exact.digits.size()) - 1 + std::min(binaryExponent, 0);
    return exact;
}

// Six significant digits, halves away from zero, and the power of ten of the first.
struct RoundedDecimal {
    std::array<char, 6> digits{};
    int exponent = 0;
};

RoundedDecimal roundToSixDigits(const ExactDecimal& exact) {
    RoundedDecimal rounded;
    rounded.exponent = exact.exponent;
    for (std::size_t index = 0; index < rounded.digits.size(); ++index) {
        rounded.digits[index] = index < exact.digits.size() ? exact.digits[index] : '0';
    }
    // The seventh digit alone decides: the fraction beyond six digits is 0.5 or more
    // exactly when it is 5 or more.
    if (exact.digits.size() <= rounded.digits.size() || exact.digits[6] < '5') {
        return rounded;
    }
    for (auto digit = rounded.digits.rbegin(); digit != rounded.digits.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return rounded;
        }
        *digit = '0';
    }
    rounded.digits.front() = '1';
    ++rounded.exponent;
    return rounded;
}

void dropTrailingZeros(Text& text) {
    if (text.find('.') == Text::npos) {
        return;
    }
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
}

Text sixDigitLayout(const RoundedDecimal& rounded) {
    const std::string_view digits(rounded.digits.data(), rounded.digits.size());
    const int exponent = rounded.exponent;
    Text text;
    if (exponent < -4 || exponent >= 6) {
        text = digits.substr(0, 1);
        text += '.';
        text += digits.substr(1);
        dropTrailingZeros(text);
        std::array<char, 8> exponentText{};
        std::snprintf(exponentText.data(), exponentText.size(), "e%c%03d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        text += exponentText.data();
    } else if (exponent >= 0) {
        const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
        text = digits.substr(0, wholeDigits);
        text += '.';
        text += digits.substr(wholeDigits);
        dropTrailingZeros(text);
    } else {
        text = "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
        dropTrailingZeros(text);
    }
    return text;
}

}  // namespace

Text foldToHalfWidth(TextView text) {
    Text folded;
    folded.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (!isLeadByte(byte)) {
            folded += static_cast<char>(byte);
            continue;
        }
        if (at + 1 >= text.size() || text[at + 1] == '\0') {
            break;
        }
        const auto trail = static_cast<unsigned char>(text[++at]);
        if (const char ascii = halfWidthOf(byte, trail); ascii != 0) {
            folded += ascii;
        } else {
            folded += static_cast<char>(byte);
            folded += static_cast<char>(trail);
        }
    }
    return folded;
}

std::int32_t toInteger(TextView text) {
    const Text folded = foldToHalfWidth(text);
    std::size_t at = skipSpace(folded, 0);
    bool negative = false;
    if (at < folded.size() && (folded[at] == '+' || folded[at] == '-')) {
        negative = folded[at] == '-';
        ++at;
    }
    // Unsigned arithmetic wraps modulo 2^32 by definition, which is the reading wanted.
    std::uint32_t value = 0;
    for (; at < folded.size() && isDigit(folded[at]); ++at) {
        value = value * 10U + static_cast<std::uint32_t>(folded[at] - '0');
    }
    if (negative) {
        value = 0U - value;
    }
    return static_cast<std::int32_t>(value);
}

float toNumber(TextView text) {
    const Text folded = foldToHalfWidth(text);
    const std::size_t begin = skipSpace(folded, 0);
    std::size_t at = begin;
    if (at < folded.size() && (folded[at] == '+' || folded[at] == '-')) {
        ++at;
    }
    const std::size_t wholeEnd = skipDigits(folded, at);
    std::size_t digitCount = wholeEnd - at;
    at = wholeEnd;
    if (at < folded.size() && folded[at] == '.') {
        const std::size_t fractionEnd = skipDigits(folded, at + 1);
        digitCount += fractionEnd - (at + 1);
        at = fractionEnd;
    }
    if (digitCount == 0) {
        return 0.0F;
    }
    at = exponentEnd(folded, at);

    // strtod reads the prefix alone (no words, no hexadecimal) and knows only 'e'.
    Text number = folded.substr(begin, at - begin);
    for (char& byte : number) {
        if (byte == 'd' || byte == 'D') {
            byte = 'e';
        }
    }
    return static_cast<float>(std::strtod(number.c_str(), nullptr));
}

Text integerToText(std::int32_t value) {
    std::array<char, 12> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return Text(digits.data(), result.ptr);
}

Text numberToText(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    if (value == 0.0F) {
        return "0";
    }
    Text text = value < 0 ? "-" : "";
    text += sixDigitLayout(roundToSixDigits(exactDecimalOf(std::fabs(value))));
    return text;
}

std::int32_t toWholeNumber(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    // The low 32 bits of the whole number, taken exactly for every finite value: inside the
    // 64-bit range this is the 64-bit truncation cut to 32 bits, and beyond it the same
    // wrap-around goes on instead of an undefined conversion.
    constexpr double kTwoTo32 = 4294967296.0;
    double low = std::fmod(std::trunc(value), kTwoTo32);
    if (low < 0) {
        low += kTwoTo32;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low));
}
