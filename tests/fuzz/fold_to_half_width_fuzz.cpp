// foldToHalfWidth: ASCII passes through, full-width ASCII folds back to it, and folding twice
// changes nothing more.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "support/numbers.h"
#include "tests/fuzz/exact_buffer.h"
#include "tests/fuzz/full_width.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto widened = input.ConsumeIntegral<std::uint64_t>();
    const ExactBuffer text(input.ConsumeRemainingBytesAsString());

    const Text folded = foldToHalfWidth(text.view());
    fuzzCheck(folded.size() <= text.view().size(), "folding never lengthens a text");
    fuzzCheck(foldToHalfWidth(ExactBuffer(folded).view()) == folded,
              "a folded text has nothing left to fold");
    if (isAscii(text.view())) {
        fuzzCheck(folded == text.view(), "ASCII passes unchanged");
    }

    const Text ascii = asciiOnly(text.view());
    fuzzCheck(foldToHalfWidth(ExactBuffer(widenAscii(ascii, widened)).view()) == ascii,
              "full-width ASCII and the ideographic space fold back to ASCII");
    return 0;
}
