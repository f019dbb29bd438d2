#include "app/globals.h"

float programVersion = 0.0F;
Text programName;
Text updateText;
std::int32_t currentHour = 0;
std::int32_t currentMinute = 0;
std::int32_t minutesLeft = 0;
std::int32_t targetMinute = 0;
std::int32_t targetHour = 0;

void resetGlobals() {
    programVersion = 0.0F;
    programName = Text();
    updateText = Text();
    currentHour = 0;
    currentMinute = 0;
    minutesLeft = 0;
    targetMinute = 0;
    targetHour = 0;
}

void releaseGlobals() {
    // Assigning a fresh string gives the old block back to the heap.
    programName = Text();
    updateText = Text();
}
