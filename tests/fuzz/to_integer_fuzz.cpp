// toInteger against the C library's reading of the same digits, the full-width forms against
// the ASCII ones, and integerToText against "%d" and back.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/numbers.h"
#include "tests/fuzz/exact_buffer.h"
#include "tests/fuzz/full_width.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// The leading integer of an ASCII text modulo 2^32. 10^32 is a multiple of 2^32, so only the
// last 32 digits count; they are read as two halves of 16 by strtoull and joined in 128 bits.
std::int32_t referenceInteger(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
        ++at;
    }
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    std::size_t end = at;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
        ++end;
    }
    std::string digits = text.substr(at, end - at);
    if (digits.size() > 32) {
        digits.erase(0, digits.size() - 32);
    }
    digits.insert(0, 32 - digits.size(), '0');
    const unsigned __int128 high = std::strtoull(digits.substr(0, 16).c_str(), nullptr, 10);
    const unsigned __int128 low = std::strtoull(digits.substr(16).c_str(), nullptr, 10);
    auto value = static_cast<std::uint32_t>(high * 10000000000000000ULL + low);
    if (negative) {
        value = 0U - value;
    }
    return static_cast<std::int32_t>(value);
}

void checkIntegerToText(std::int32_t value) {
    std::array<char, 16> printed{};
    std::snprintf(printed.data(), printed.size(), "%d", value);
    const Text text = integerToText(value);
    fuzzCheck(text == printed.data(), "integerToText writes what %d writes");
    fuzzCheck(toInteger(text) == value, "toInteger reads integerToText back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    checkIntegerToText(input.ConsumeIntegral<std::int32_t>());
    const auto widened = input.ConsumeIntegral<std::uint64_t>();
    const ExactBuffer text(input.ConsumeRemainingBytesAsString());

    const std::int32_t value = toInteger(text.view());
    if (isAscii(text.view())) {
        fuzzCheck(value == referenceInteger(Text(text.view())),
                  "toInteger reads ASCII as the C library does, modulo 2^32");
        fuzzCheck(toInteger(ExactBuffer(widenAscii(text.view(), widened)).view()) == value,
                  "full-width digits, signs and spaces read as the ASCII ones");
    }
    return 0;
}
