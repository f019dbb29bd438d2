#include "tests/headless/clock_readings.h"

#include "tests/headless/headless_state.h"

namespace headless {

namespace {

int secondsPerReading = 0;

}  // namespace

void advanceClockOnEachReading(int seconds) {
    secondsPerReading = seconds;
}

DateTime takeClockReading() {
    const DateTime reading = state().wallClock;
    state().wallClock = addSeconds(reading, secondsPerReading);
    return reading;
}

void resetClockReadings() {
    secondsPerReading = 0;
}

}  // namespace headless
