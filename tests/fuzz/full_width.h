// Full-width spellings of ASCII texts, for checks that a reading does not care which width a
// user typed in.
#pragma once

#include <cstdint>

#include "support/text.h"

// The text with every printable character whose bit (position mod 64) is set in `which`
// written in its GBK full-width form: row A3 for '!' to '~', A1 A1 (the ideographic space)
// for ' '. Other bytes are copied.
Text widenAscii(TextView ascii, std::uint64_t which);

// The text with the high bit of every byte cleared: an ASCII text of the same length.
Text asciiOnly(TextView text);

bool isAscii(TextView text);
