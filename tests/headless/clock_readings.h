// A clock that moves on while a handler reads it, as the real one may between two readings
// taken in the same handler run.
#pragma once

#include "support/date_time.h"

namespace headless {

// After each currentTime() reading the clock moves on by this many seconds; 0 (after
// reset) keeps it still between timer ticks.
void advanceClockOnEachReading(int seconds);

// What currentTime() returns: the clock's reading, after which it moves on as set above.
DateTime takeClockReading();

// Back to a still clock; part of reset().
void resetClockReadings();

}  // namespace headless
