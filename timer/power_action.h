// Asking Windows to power the computer off, restart it, log the user off or suspend it.
#pragma once

#include <cstdint>

enum PowerMode : std::int32_t {
    kPowerOff = 1,
    kRestart = 2,
    kLogOff = 3,
    kSuspend = 4,
    kHibernate = 5,
};

// Non-zero when Windows accepted the request; 0 for a mode outside 1-5, when the shutdown
// privilege could not be enabled, or when Windows refused. Force makes Windows close
// programs without asking them.
int performPowerAction(std::int32_t mode, bool force = false);

// Enables the shutdown privilege in the process token, which the NT family requires before
// it powers off, restarts or logs off; other platforms need nothing.
bool enableShutdownPrivilege();
