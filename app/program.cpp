#include "app/program.h"

#include <array>

#include "app/globals.h"
#include "support/dialogs.h"
#include "ui/timer_window.h"
#include "ui/window_layer.h"
#include "update/check_for_update.h"

namespace {

// Never shown: it exists so that the message loop has a window for the whole life of the
// program, and its created handler does the start-up work.
const WindowTemplate startupWindowTemplate{
    .id = StartupWindow,
    .name = "StartupWindow",
    .visible = false,
    .onCreated = onStartupWindowCreated,
};

const std::array<const WindowTemplate*, 2> windowTemplates{&startupWindowTemplate,
                                                           &timerWindowTemplate};

int failStartup() {
    messageBox("程序无法启动：窗口创建失败。", kStyleError, "错误：");
    return -1;
}

}  // namespace

int runProgram() {
    if (!initWindowLayer(windowTemplates)) {
        return failStartup();
    }
    registerCleanup(releaseGlobals);
    resetGlobals();
    if (!openWindow(StartupWindow, std::nullopt, false)) {
        return failStartup();
    }
    runMessageLoop();
    return 0;
}

void onStartupWindowCreated() {
    applyVisualStyle(1);
    programVersion = kProgramVersion;
    programName = "晨枫定时器";
    // A timer window that failed to open goes unnoticed: the check still runs.
    openWindow(TimerWindow, std::nullopt, false);
    checkForUpdate();
}

void onTimerWindowDestroyed() {
    endProgram(0);
}
