// The settable clock and the timer ticks it delivers.
#include <climits>

#include "tests/headless/clock_readings.h"
#include "tests/headless/headless_state.h"

namespace headless {

namespace {

// The timer that falls due first, or null when none runs.
ElementState* nextDueTimer() {
    ElementState* due = nullptr;
    for (auto& [id, element] : state().elements) {
        if (element.control != nullptr && element.interval > 0 &&
            (due == nullptr || element.nextTickAt < due->nextTickAt)) {
            due = &element;
        }
    }
    return due;
}

void advance(long long milliseconds) {
    state().steadyMilliseconds += milliseconds;
    const long long wall = state().wallMilliseconds + milliseconds;
    state().wallClock = addSeconds(state().wallClock, wall / 1000);
    state().wallMilliseconds = wall % 1000;
}

}  // namespace

void setClock(const DateTime& now) {
    state().wallClock = now;
    state().wallMilliseconds = 0;
}

DateTime clock() {
    return state().wallClock;
}

void runFor(long long milliseconds) {
    const long long end = state().steadyMilliseconds + milliseconds;
    for (ElementState* timer = nextDueTimer(); timer != nullptr && timer->nextTickAt <= end;
         timer = nextDueTimer()) {
        advance(timer->nextTickAt - state().steadyMilliseconds);
        timer->nextTickAt += timer->interval;
        // The handler may stop the timer, close the window or show a box.
        if (timer->control->onTick != nullptr) {
            timer->control->onTick();
        }
    }
    advance(end - state().steadyMilliseconds);
}

}  // namespace headless

DateTime currentTime() {
    return headless::takeClockReading();
}
