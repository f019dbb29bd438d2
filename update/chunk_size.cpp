#include "update/chunk_size.h"

#include "support/numbers.h"

int chunkSizeFor(TextView contentLength) {
    // toInteger wraps a length beyond 32 bits; that only picks another chunk size, and the
    // reading budget, not the length, bounds what is gathered.
    const std::int32_t length = toInteger(contentLength);
    if (length <= 0) {
        return kChunkWithoutLength;
    }
    return length >= kLargestChunk ? kLargestChunk : length + 1;
}
