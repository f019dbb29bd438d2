// midText on any start and count: clipped to the text, never a byte outside it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "support/text.h"
#include "tests/fuzz/exact_buffer.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool anyInts = input.ConsumeBool();
    const int start = anyInts ? input.ConsumeIntegral<int>() : input.ConsumeIntegralInRange(-2, 40);
    const int count = anyInts ? input.ConsumeIntegral<int>() : input.ConsumeIntegralInRange(-2, 40);
    const ExactBuffer text(input.ConsumeRemainingBytesAsString());
    const TextView view = text.view();

    const Text piece = midText(view, start, count);

    Text expected;
    if (start >= 1 && count >= 1 && static_cast<std::size_t>(start) <= view.size()) {
        expected =
            view.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count));
    }
    fuzzCheck(piece == expected, "midText is the clipped piece of the text");
    return 0;
}
