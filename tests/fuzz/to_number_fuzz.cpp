// toNumber against strtod rounded to single precision on plain decimal ASCII, and the
// full-width forms against the ASCII ones.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/numbers.h"
#include "tests/fuzz/exact_buffer.h"
#include "tests/fuzz/full_width.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool sameBits(float left, float right) {
    return std::bit_cast<std::uint32_t>(left) == std::bit_cast<std::uint32_t>(right);
}

// Texts strtod reads as a plain decimal number, or as no number at all: after white space
// and a sign comes a digit or a point. That leaves out its words (inf, nan) and hexadecimal.
bool isPlainDecimal(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
        ++at;
    }
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    if (at >= text.size() ||
        (text[at] != '.' && std::isdigit(static_cast<unsigned char>(text[at])) == 0)) {
        return true;  // nothing strtod would read either
    }
    return !(text[at] == '0' && at + 1 < text.size() &&
             (text[at + 1] == 'x' || text[at + 1] == 'X'));
}

// The program also takes d and D as exponent letters, which strtod knows as e alone.
float referenceNumber(std::string text) {
    for (char& byte : text) {
        if (byte == 'd' || byte == 'D') {
            byte = 'e';
        }
    }
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto widened = input.ConsumeIntegral<std::uint64_t>();
    const ExactBuffer text(input.ConsumeRemainingBytesAsString());

    const float value = toNumber(text.view());
    if (!isAscii(text.view())) {
        return 0;
    }
    const std::string ascii(text.view());
    if (isPlainDecimal(ascii)) {
        fuzzCheck(sameBits(value, referenceNumber(ascii)),
                  "toNumber reads plain decimals as strtod rounded to float");
    }
    fuzzCheck(sameBits(toNumber(ExactBuffer(widenAscii(ascii, widened)).view()), value),
              "full-width digits, signs, points and letters read as the ASCII ones");
    return 0;
}
