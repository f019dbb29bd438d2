// The real Windows power calls, shared by the shipped program's power calls and the test
// build's, which makes them only when no test has asked for a log.
#pragma once

namespace windows_power {

bool isNtFamily();
bool adjustShutdownPrivilege();
int exitWindows(unsigned flags);
int setSystemPowerState(bool suspend, bool force);

}  // namespace windows_power
