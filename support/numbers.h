// Reading and writing numbers in GBK texts, with full-width digits and signs accepted.
#pragma once

#include <cstdint>

#include "support/text.h"

// Full-width ASCII forms, the ideographic space, ～, ☆ and ★ become their ASCII stand-ins;
// other double-byte characters are kept; a lone lead byte at the end is dropped.
Text foldToHalfWidth(TextView text);

// Leading decimal integer after white space and one sign, wrapping modulo 2^32; 0 if none.
std::int32_t toInteger(TextView text);

// Leading decimal number (point and e/E/d/D exponent allowed), rounded to single precision;
// 0 if none, an infinity when too large.
float toNumber(TextView text);

// "%d" layout.
Text integerToText(std::int32_t value);

// "%.6g" layout with three exponent digits ("1e-005"), after rounding to six significant
// digits with halves away from zero, so that 1.2f reads "1.2".
Text numberToText(float value);

// Truncates toward zero to 64 bits and keeps the low 32 bits.
std::int32_t toWholeNumber(double value);
