// The shipped program's power calls: straight to Windows.
#include "timer/power_calls.h"

#include "timer/win32/windows_power.h"

bool isNtFamily() {
    return windows_power::isNtFamily();
}

bool adjustShutdownPrivilege() {
    return windows_power::adjustShutdownPrivilege();
}

int exitWindows(unsigned flags) {
    return windows_power::exitWindows(flags);
}

int setSystemPowerState(bool suspend, bool force) {
    return windows_power::setSystemPowerState(suspend, force);
}
