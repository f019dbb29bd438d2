// State shared by every handler of the program, in one place.
#pragma once

#include <cstdint>

#include "product_constants.h"
#include "support/text.h"

extern float programVersion;
extern Text programName;
extern Text updateText;
extern std::int32_t currentHour;
extern std::int32_t currentMinute;
extern std::int32_t minutesLeft;
extern std::int32_t targetMinute;
extern std::int32_t targetHour;

// The root of the product's web site.
inline constexpr TextView homePageAddress = "http://" CFT_HOME_HOST;

// Back to the values of a fresh start: numbers 0, texts empty.
void resetGlobals();

// Releases the text globals; the clean-up routine of the program.
void releaseGlobals();
