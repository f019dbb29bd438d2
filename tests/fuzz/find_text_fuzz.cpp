// findText against a plain reading of its rules, and ignoring case against lower-casing both.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "support/text.h"
#include "tests/fuzz/exact_buffer.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/reference_search.h"

namespace {

Text lowered(TextView text) {
    Text lower(text);
    for (char& byte : lower) {
        byte = static_cast<char>(std::tolower(static_cast<unsigned char>(byte)));
    }
    return lower;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool ignoreCase = input.ConsumeBool();
    const bool startGiven = input.ConsumeBool();
    // Mostly starts near the text, where the interesting cases are; now and then any int.
    const int start = input.ConsumeBool() ? input.ConsumeIntegral<int>()
                                          : input.ConsumeIntegralInRange<int>(-1, 40);
    const ExactBuffer sought(input.ConsumeRandomLengthString(12));
    const ExactBuffer text(input.ConsumeRemainingBytesAsString());
    const std::optional<int> startArgument = startGiven ? std::optional<int>(start) : std::nullopt;

    const int found = findText(text.view(), sought.view(), startArgument, ignoreCase);
    fuzzCheck(
        found == referenceFind(text.view(), sought.view(), startGiven ? start : 1, ignoreCase),
        "findText agrees with the reference search");

    // Lower-casing changes only ASCII letters, so character boundaries stay where they were.
    const Text lowerText = lowered(text.view());
    const Text lowerSought = lowered(sought.view());
    if (ignoreCase) {
        fuzzCheck(found == findText(lowerText, lowerSought, startArgument, false),
                  "ignoring case is searching the lower-cased texts");
    }
    return 0;
}
