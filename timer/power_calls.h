// The Windows calls behind the power action, one function each, so that the program, its
// test build and the host tests each supply their own.
#pragma once

// GetVersionExA: true on the NT family.
bool isNtFamily();

// Enables SeShutdownPrivilege in the process token. True only when GetLastError is 0 right
// after the adjustment, which also catches a privilege the account does not hold.
bool adjustShutdownPrivilege();

// ExitWindowsEx(flags, 0): non-zero when Windows accepted the request.
int exitWindows(unsigned flags);

// SetSystemPowerState(suspend, force): non-zero when Windows accepted the request.
int setSystemPowerState(bool suspend, bool force);
