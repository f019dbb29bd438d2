#include "app/globals.h"
#include "support/dialogs.h"
#include "support/numbers.h"
#include "ui/controls.h"
#include "ui/timer_window.h"
#include "ui/window_layer.h"

void onTimerWindowCreated() {
    applyVisualStyle(1);
    setCaption(TimerWindow, concatText(programName, " v", numberToText(programVersion)));
    // Nothing to cancel until a countdown is armed.
    setDisabled(按钮2, true);
}

std::optional<bool> onHomeLinkPressed(int /*x*/, int /*y*/, int /*keys*/) {
    openWebPage(homePageAddress);
    return std::nullopt;
}
