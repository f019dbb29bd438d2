// The test build's start: the shipped program's, plus a way to make start-up fail.
#include <windows.h>

#include <cstring>

#include "app/program.h"
#include "support/out_of_memory.h"

namespace {

bool startupFailureRequested() {
    char value[8] = {};
    const DWORD length = GetEnvironmentVariableA("CFT_TEST_FAIL_STARTUP", value, sizeof value);
    return length > 0 && length < sizeof value && std::strcmp(value, "1") == 0;
}

// Takes the window class name first, so the window layer's own registration fails and the
// program's real start-up failure path runs, the same one a lack of resources would take.
// Nothing in the program is changed for it. The class lives until the process ends.
void occupyWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "ChenfengTimerWindow";
    RegisterClassExA(&windowClass);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    installOutOfMemoryHandler();
    if (startupFailureRequested()) {
        occupyWindowClass(instance);
    }
    return runProgram();
}
