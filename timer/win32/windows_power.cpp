#include "timer/win32/windows_power.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using HandleOwner = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The size Windows 95 and NT 4 know; larger records are refused by the oldest systems.
static_assert(sizeof(OSVERSIONINFOA) == 148);

}  // namespace

namespace windows_power {

bool isNtFamily() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool adjustShutdownPrivilege() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token) ==
        FALSE) {
        return false;
    }
    const HandleOwner tokenOwner(token);

    TOKEN_PRIVILEGES record{};
    record.PrivilegeCount = 1;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &record.Privileges[0].Luid);
    record.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &record, 0, nullptr, nullptr);
    // AdjustTokenPrivileges reports success even when the account lacks the privilege; only
    // the last error (ERROR_NOT_ALL_ASSIGNED) tells.
    return GetLastError() == ERROR_SUCCESS;
}

int exitWindows(unsigned flags) {
    return ExitWindowsEx(flags, 0);
}

int setSystemPowerState(bool suspend, bool force) {
    return SetSystemPowerState(suspend ? TRUE : FALSE, force ? TRUE : FALSE);
}

}  // namespace windows_power
