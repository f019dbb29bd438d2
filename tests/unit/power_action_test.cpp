// The power action and the calls it makes.
#include <gtest/gtest.h>

#include "tests/headless/headless.h"
#include "tests/headless/power.h"
#include "timer/power_action.h"

namespace {

constexpr int kAccepted = 7;  // any non-zero answer of Windows, passed on as it is

struct PowerCase {
    const char* name;
    bool ntFamily;
    bool privilegeEnabled;
    bool force;
    int mode;
    int result;
    const char* calls;
};

TEST(PerformPowerAction, MakesTheRequestOfTheModeAndReturnsItsAnswer) {
    const PowerCase cases[] = {
        {"NT power off", true, true, true, 1, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; GetVersionExA; ExitWindowsEx 12 0"},
        {"NT power off, unforced", true, true, false, 1, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; GetVersionExA; ExitWindowsEx 8 0"},
        {"NT restart", true, true, true, 2, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; ExitWindowsEx 6 0"},
        {"NT restart, unforced", true, true, false, 2, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; ExitWindowsEx 2 0"},
        {"NT log off", true, true, true, 3, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; ExitWindowsEx 4 0"},
        {"NT log off, unforced", true, true, false, 3, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; ExitWindowsEx 0 0"},
        {"NT suspend", true, true, true, 4, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; SetSystemPowerState 1 1"},
        {"NT hibernate, unforced", true, true, false, 5, kAccepted,
         "GetVersionExA; AdjustShutdownPrivilege; SetSystemPowerState 0 0"},
        // Earlier Windows has no privilege to enable, and shuts down instead of powering off.
        {"earlier Windows shut down", false, false, true, 1, kAccepted,
         "GetVersionExA; GetVersionExA; ExitWindowsEx 5 0"},
        {"earlier Windows shut down, unforced", false, false, false, 1, kAccepted,
         "GetVersionExA; GetVersionExA; ExitWindowsEx 1 0"},
        {"earlier Windows suspend", false, false, true, 4, kAccepted,
         "GetVersionExA; SetSystemPowerState 1 1"},
        {"NT privilege refused", true, false, true, 2, 0, "GetVersionExA; AdjustShutdownPrivilege"},
        {"mode 0", true, true, true, 0, 0, ""},
        {"mode 6", true, true, true, 6, 0, ""},
        {"negative mode", true, true, true, -1, 0, ""},
    };
    for (const PowerCase& test : cases) {
        SCOPED_TRACE(test.name);
        headless::reset();
        headless::setNtFamily(test.ntFamily);
        headless::setShutdownPrivilegeEnabled(test.privilegeEnabled);
        headless::setPowerRequestResult(kAccepted);

        EXPECT_EQ(performPowerAction(test.mode, test.force), test.result);
        EXPECT_EQ(headless::powerCallLine(), test.calls);
    }
}

TEST(PerformPowerAction, ForceOmittedCountsAsNotForced) {
    headless::reset();

    performPowerAction(2);

    EXPECT_EQ(headless::powerCallLine(),
              "GetVersionExA; AdjustShutdownPrivilege; ExitWindowsEx 2 0");
}

TEST(PerformPowerAction, RefusalByWindowsGivesZero) {
    for (const int mode : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(mode);
        headless::reset();
        headless::setPowerRequestResult(0);

        EXPECT_EQ(performPowerAction(mode, true), 0);
    }
}

}  // namespace
