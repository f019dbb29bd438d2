// numberToText on every float against a reference built on the exact decimal value.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "support/numbers.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/six_digit_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    float value = 0.0F;
    if (size != sizeof value) {
        return -1;  // not kept in the corpus: only four bytes make a float
    }
    std::memcpy(&value, data, sizeof value);

    fuzzCheck(numberToText(value) == referenceNumberText(value),
              "numberToText rounds to six digits, halves away from zero, as %g lays out");
    return 0;
}
