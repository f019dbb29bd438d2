#include "update/reading_budget.h"

#include <algorithm>

std::size_t nextReadSize(std::size_t chunkSize, std::size_t gathered,
                         std::uint64_t elapsedMilliseconds) {
    if (elapsedMilliseconds >= kReadingDeadlineMilliseconds || gathered >= kLargestBody) {
        return 0;
    }
    return std::min(chunkSize, kLargestBody - gathered);
}
