#include "timer/power_action.h"

#include "timer/power_calls.h"

namespace {

// ExitWindowsEx flags.
constexpr unsigned kLogOffFlags = 0;    // EWX_LOGOFF
constexpr unsigned kShutdownFlags = 1;  // EWX_SHUTDOWN
constexpr unsigned kRebootFlags = 2;    // EWX_REBOOT
constexpr unsigned kForceFlag = 4;      // EWX_FORCE
constexpr unsigned kPowerOffFlags = 8;  // EWX_POWEROFF

unsigned exitFlagsFor(std::int32_t mode) {
    switch (mode) {
        case kPowerOff:
            // Only the NT family switches the power off; earlier Windows shut down.
            return isNtFamily() ? kPowerOffFlags : kShutdownFlags;
        case kRestart:
            return kRebootFlags;
        default:
            return kLogOffFlags;
    }
}

}  // namespace

bool enableShutdownPrivilege() {
    if (!isNtFamily()) {
        return true;
    }
    return adjustShutdownPrivilege();
}

int performPowerAction(std::int32_t mode, bool force) {
    if (mode < kPowerOff || mode > kHibernate) {
        return 0;
    }
    if (!enableShutdownPrivilege()) {
        return 0;
    }
    if (mode == kSuspend || mode == kHibernate) {
        return setSystemPowerState(mode == kSuspend, force);
    }
    return exitWindows(exitFlagsFor(mode) | (force ? kForceFlag : 0U));
}
