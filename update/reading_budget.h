// Bounds on reading a response body, so that a huge, endless or dripping body can neither
// exhaust memory nor hold the start-up for long.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kLargestBody = std::size_t{1024} * 1024;
// Counted from the start of the download, connecting included.
inline constexpr std::uint64_t kReadingDeadlineMilliseconds = 10000;

// How many bytes the next read may ask for: the chunk, or what is left under kLargestBody
// when that is less; 0 once the body is full or the deadline has passed, and reading stops.
std::size_t nextReadSize(std::size_t chunkSize, std::size_t gathered,
                         std::uint64_t elapsedMilliseconds);
