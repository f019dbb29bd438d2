// The power calls held in memory: recorded, never made, answered as the test sets.
#pragma once

#include <vector>

#include "support/text.h"

namespace headless {

// Every power call made, one line each, in the words of the test build's log: "GetVersionExA",
// "AdjustShutdownPrivilege", "ExitWindowsEx 12 0", "SetSystemPowerState 1 1".
const std::vector<Text>& powerCalls();
// The same calls as one line, joined by "; ": "GetVersionExA; GetVersionExA; ExitWindowsEx 5 0".
Text powerCallLine();

// How Windows answers. After reset: the NT family, the privilege enabled, requests accepted (1).
void setNtFamily(bool ntFamily);
void setShutdownPrivilegeEnabled(bool enabled);
void setPowerRequestResult(int result);

// Back to the answers above, with no calls recorded; part of reset().
void resetPower();

}  // namespace headless
