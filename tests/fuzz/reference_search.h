// A plain reading of where findText may find a text, written apart from the shipped search so
// that the fuzz targets can compare the two.
#pragma once

#include <vector>

#include "support/text.h"

// 0-based offsets where a character begins, walking from `from`: a byte of 0x80 or more
// begins a double-byte character. The walk ends at the end of the text, or at a lead byte
// with no second byte (the last byte, or one followed by a zero byte), which is included.
std::vector<std::size_t> characterStarts(TextView text, std::size_t from);

// The 1-based result findText should give, or -1.
int referenceFind(TextView text, TextView sought, int start, bool ignoreCase);
