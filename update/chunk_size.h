// How many bytes each read of a response body asks for.
#pragma once

#include "support/text.h"

inline constexpr int kChunkWithoutLength = 10240;
inline constexpr int kLargestChunk = 102400;

// From the Content-Length header's text (empty when the response has none): one byte more
// than a positive length, so that a body of exactly that length ends with a read of 0, but
// never more than kLargestChunk; kChunkWithoutLength otherwise.
int chunkSizeFor(TextView contentLength);
