// What a user does to the window, and the reset between tests.
#include "support/numbers.h"
#include "tests/headless/http.h"
#include "tests/headless/clock_readings.h"
#include "tests/headless/headless_state.h"
#include "tests/headless/power.h"
#include "ui/spinner_step.h"

namespace headless {

void reset() {
    State& s = state();
    const auto templates = s.templates;
    s = State();
    s.templates = templates;
    s.wallClock = DateTime{2026, 1, 1, 0, 0, 0};
    resetHttp();
    resetPower();
    resetClockReadings();
}

bool spin(ElementId spinBox, bool up) {
    ElementState& box = element(spinBox);
    if (box.disabled || !box.visible) {
        return false;
    }
    const auto& settings = std::get<SpinEditSettings>(box.control->settings);
    box.caption =
        integerToText(spinnerStep(box.caption, settings.spinLower, settings.spinUpper, up));
    return true;
}

}  // namespace headless
