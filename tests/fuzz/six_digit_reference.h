// numberToText's layout worked out another way: the C library prints the exact decimal value,
// the rounding to six digits is done on those digits, and printf's own %g lays the result out.
#pragma once

#include "support/text.h"

Text referenceNumberText(float value);
