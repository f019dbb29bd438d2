// How much each read of a response body asks for, and when reading stops.
#include <gtest/gtest.h>

#include <vector>

#include "update/chunk_size.h"
#include "update/reading_budget.h"

namespace {

TEST(ChunkSize, OneMoreThanThePositiveContentLengthUpToTheLargestChunk) {
    struct ChunkCase {
        const char* contentLength;
        int chunk;
    };
    const std::vector<ChunkCase> cases = {
        {"1", 2},
        {"17", 18},
        {"102399", 102400},
        {"102400", 102400},
        {"52428800", 102400},
        {"2147483647", 102400},  // adding the one byte must not overflow
        // Missing, unreadable, zero or negative: the fixed chunk.
        {"", 10240},
        {"abc", 10240},
        {"0", 10240},
        {"-5", 10240},
    };
    for (const ChunkCase& c : cases) {
        SCOPED_TRACE(c.contentLength);
        EXPECT_EQ(chunkSizeFor(c.contentLength), c.chunk);
    }
}

TEST(ReadingBudget, StopsAtOneMebibyteOrTenSecondsAfterTheDownloadBegan) {
    struct BudgetCase {
        std::size_t chunk;
        std::size_t gathered;
        std::uint64_t elapsedMilliseconds;
        std::size_t nextRead;
    };
    constexpr std::size_t kMebibyte = std::size_t{1024} * 1024;
    const std::vector<BudgetCase> cases = {
        {10240, 0, 0, 10240},
        {102400, 500000, 9999, 102400},
        // The last read fills the body up to the cap and no further.
        {102400, kMebibyte - 100, 0, 100},
        {10240, kMebibyte, 0, 0},
        {10240, kMebibyte + 1, 0, 0},
        {10240, 0, 10000, 0},
        {10240, 10, 600000, 0},
    };
    for (const BudgetCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.chunk << " " << c.gathered << " " << c.elapsedMilliseconds);
        EXPECT_EQ(nextReadSize(c.chunk, c.gathered, c.elapsedMilliseconds), c.nextRead);
    }
}

}  // namespace
