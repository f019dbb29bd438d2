// The one-second tick of an armed countdown and the action it ends in.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "tests/headless/clock_readings.h"
#include "tests/unit/timer_window_fixture.h"

namespace {

using ClockTickTest = TimerWindowTest;

TEST_F(ClockTickTest, EveryTickShowsTheTimeAndTheTargetFiresOnTheFirstTickAtOrAfterIt) {
    const Text ntPowerOff =
        "GetVersionExA; AdjustShutdownPrivilege; GetVersionExA; ExitWindowsEx 12 0";
    armAt(localTime(2026, 3, 10, 10, 59, 40), 0, 1);

    headless::runFor(999);
    EXPECT_EQ(headless::element(标签5).caption, "");

    headless::runFor(1);
    EXPECT_EQ(headless::element(标签5).caption, "现在时间：10点59分41秒");

    headless::runFor(18000);
    EXPECT_EQ(headless::element(标签5).caption, "现在时间：10点59分59秒");
    EXPECT_EQ(currentHour, 10);
    EXPECT_EQ(currentMinute, 59);
    EXPECT_EQ(minutesLeft, -59);
    EXPECT_TRUE(headless::powerCalls().empty());
    EXPECT_TRUE(timerRunning());

    headless::runFor(1000);
    EXPECT_EQ(headless::element(标签5).caption, "现在时间：11点0分0秒");
    EXPECT_EQ(currentHour, 11);
    EXPECT_EQ(currentMinute, 0);
    EXPECT_EQ(minutesLeft, 0);
    EXPECT_EQ(headless::powerCallLine(), ntPowerOff);
    EXPECT_FALSE(timerRunning());
    // The fired window keeps its armed look until cancel.
    EXPECT_TRUE(inputsLocked());
    EXPECT_EQ(headless::element(标签3).caption, "系统将在11点0分 关机");

    headless::runFor(24LL * 3600 * 1000);
    EXPECT_EQ(headless::powerCallLine(), ntPowerOff);
    EXPECT_EQ(headless::element(标签5).caption, "现在时间：11点0分0秒");
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(ClockTickTest, ClockLineHasNoLeadingZeros) {
    armAt(localTime(2026, 3, 10, 9, 5, 6), 0, 2);
    headless::runFor(1000);

    EXPECT_EQ(headless::element(标签5).caption, "现在时间：9点5分7秒");
    EXPECT_EQ(minutesLeft, 2);
}

struct ActionCase {
    int action;
    const char* request;
};

TEST_F(ClockTickTest, EachListItemMakesItsForcedRequestOnce) {
    const ActionCase cases[] = {
        {0, "ExitWindowsEx 12 0"},
        {1, "ExitWindowsEx 6 0"},
        {2, "SetSystemPowerState 1 1"},
        {3, "ExitWindowsEx 4 0"},
    };
    for (const ActionCase& test : cases) {
        SCOPED_TRACE(test.request);
        SetUp();
        armAt(localTime(2026, 3, 10, 21, 40), 0, 30, test.action);

        headless::runFor(2LL * 3600 * 1000);

        EXPECT_EQ(powerRequests(), std::vector<Text>{test.request});
        EXPECT_EQ(headless::element(标签5).caption, "现在时间：22点10分0秒");
        EXPECT_TRUE(inputsLocked());
    }
}

struct JumpCase {
    const char* name;
    DateTime armedAt;
    int hours;
    int minutes;
    DateTime tick;
    bool fires;
};

// Ticks that do not come once a second on a steady clock: the first tick late, the computer
// asleep, the clock set by hand, daylight saving starting (2:00 becomes 3:00) and ending
// (3:00 becomes 2:00 again). Whatever the way there, the countdown fires on the first tick
// at or after the time the status line names, and never before.
TEST_F(ClockTickTest, FiresOnTheFirstTickAtOrPastTheTargetWhateverTheClockDid) {
    const JumpCase cases[] = {
        {"first tick late in the target hour", localTime(2026, 3, 10, 10, 0), 0, 30,
         localTime(2026, 3, 10, 10, 45), true},
        {"woken after the target hour", localTime(2026, 3, 10, 10, 0), 0, 30,
         localTime(2026, 3, 10, 11, 5), true},
        {"clock set forward by a day", localTime(2026, 3, 10, 10, 0), 0, 30,
         localTime(2026, 3, 11, 9, 0), true},
        {"clock set forward, short of the target", localTime(2026, 3, 10, 10, 0), 0, 30,
         localTime(2026, 3, 10, 10, 29, 59), false},
        {"clock set back", localTime(2026, 3, 10, 10, 0), 0, 30, localTime(2026, 3, 10, 9, 40),
         false},
        {"target after midnight, later hour today", localTime(2026, 3, 10, 22, 0), 2, 30,
         localTime(2026, 3, 10, 23, 59, 59), false},
        {"target after midnight, reached", localTime(2026, 3, 10, 22, 0), 2, 30,
         localTime(2026, 3, 11, 0, 30), true},
        {"clock set back to the target time a day early", localTime(2026, 3, 10, 10, 0), 22, 30,
         localTime(2026, 3, 10, 8, 30), false},
        {"daylight saving starts over the target", localTime(2026, 3, 29, 1, 30), 1, 0,
         localTime(2026, 3, 29, 3, 0), true},
        {"daylight saving ends before the target", localTime(2026, 10, 25, 2, 50), 0, 20,
         localTime(2026, 10, 25, 2, 0), false},
    };
    for (const JumpCase& test : cases) {
        SCOPED_TRACE(test.name);
        SetUp();
        armAt(test.armedAt, test.hours, test.minutes);
        headless::runFor(3000);

        tickAt(test.tick);

        EXPECT_EQ(powerRequests().size(), test.fires ? 1U : 0U);
        EXPECT_EQ(timerRunning(), !test.fires);
    }
}

TEST_F(ClockTickTest, AfterDaylightSavingEndsFiresWhenTheClockShowsTheTarget) {
    armAt(localTime(2026, 10, 25, 2, 50), 0, 20);
    tickAt(localTime(2026, 10, 25, 2, 59, 59));
    // 3:00 summer time is 2:00 winter time: the hour from 2:00 to 3:00 comes round again.
    tickAt(localTime(2026, 10, 25, 2, 0));

    headless::runFor((70LL * 60 - 1) * 1000);
    EXPECT_EQ(headless::element(标签5).caption, "现在时间：3点9分59秒");
    EXPECT_TRUE(powerRequests().empty());

    headless::runFor(1000);
    EXPECT_EQ(headless::element(标签5).caption, "现在时间：3点10分0秒");
    EXPECT_EQ(powerRequests().size(), 1U);
}

struct ReadingCase {
    DateTime armedAt;
    int minutes;
    DateTime tick;
    const char* clockLine;
    int hour;
    int minute;
    bool fires;
};

// A clock that moves on by a second at every reading makes any second reading of one tick
// fall past the full hour.
TEST_F(ClockTickTest, EachTickTakesEverythingFromOneReading) {
    const ReadingCase cases[] = {
        {localTime(2026, 3, 10, 10, 50), 10, localTime(2026, 3, 10, 10, 59, 59),
         "现在时间：10点59分59秒", 10, 59, false},
        {localTime(2026, 3, 10, 23, 50), 10, localTime(2026, 3, 10, 23, 59, 59),
         "现在时间：23点59分59秒", 23, 59, false},
        {localTime(2026, 3, 10, 10, 50), 10, localTime(2026, 3, 10, 11, 0), "现在时间：11点0分0秒",
         11, 0, true},
    };
    for (const ReadingCase& test : cases) {
        SCOPED_TRACE(test.clockLine);
        SetUp();
        armAt(test.armedAt, 0, test.minutes);
        headless::setClock(addSeconds(test.tick, -1));
        headless::advanceClockOnEachReading(1);

        headless::runFor(1000);

        EXPECT_EQ(headless::element(标签5).caption, test.clockLine);
        EXPECT_EQ(currentHour, test.hour);
        EXPECT_EQ(currentMinute, test.minute);
        EXPECT_EQ(minutesLeft, targetMinute - test.minute);
        EXPECT_EQ(powerRequests().size(), test.fires ? 1U : 0U);
    }
}

TEST_F(ClockTickTest, SelectionOutsideTheListShowsTheProgramErrorBoxInstead) {
    for (const int selection : {7, -1, 4}) {
        SCOPED_TRACE(selection);
        SetUp();
        armAt(localTime(2026, 3, 10, 10, 0), 0, 1);
        headless::element(组合框1).selection = selection;

        headless::runFor(3600LL * 1000);

        ASSERT_EQ(headless::messageBoxes().size(), 1U);
        EXPECT_EQ(headless::messageBoxes()[0].message, "程序错误！");
        EXPECT_EQ(headless::messageBoxes()[0].title, "错误：");
        EXPECT_EQ(headless::messageBoxes()[0].style, 16);
        EXPECT_TRUE(headless::powerCalls().empty());
        EXPECT_FALSE(timerRunning());
        EXPECT_EQ(headless::element(标签3).caption, "系统将在10点1分 关机");
    }
}

struct FailureCase {
    int action;
    bool ntFamily;
    bool privilegeEnabled;
    int requestResult;
    const char* calls;
    const char* status;
};

TEST_F(ClockTickTest, RefusedActionIsNamedInTheStatusLine) {
    const FailureCase cases[] = {
        {0, true, false, 1, "GetVersionExA; AdjustShutdownPrivilege", "关机失败"},
        {1, true, true, 0, "GetVersionExA; AdjustShutdownPrivilege; ExitWindowsEx 6 0", "重启失败"},
        {2, true, true, 0, "GetVersionExA; AdjustShutdownPrivilege; SetSystemPowerState 1 1",
         "休眠失败"},
        {3, true, true, 0, "GetVersionExA; AdjustShutdownPrivilege; ExitWindowsEx 4 0", "注销失败"},
        // Earlier Windows has no privilege to enable, and shuts down instead of powering off.
        {0, false, false, 0, "GetVersionExA; GetVersionExA; ExitWindowsEx 5 0", "关机失败"},
        {0, false, false, 1, "GetVersionExA; GetVersionExA; ExitWindowsEx 5 0",
         "系统将在10点1分 关机"},
    };
    for (const FailureCase& test : cases) {
        SCOPED_TRACE(test.status);
        SetUp();
        headless::setNtFamily(test.ntFamily);
        headless::setShutdownPrivilegeEnabled(test.privilegeEnabled);
        headless::setPowerRequestResult(test.requestResult);
        armAt(localTime(2026, 3, 10, 10, 0), 0, 1, test.action);

        headless::runFor(3600LL * 1000);

        EXPECT_EQ(headless::powerCallLine(), test.calls);
        EXPECT_EQ(headless::element(标签3).caption, test.status);
        EXPECT_FALSE(timerRunning());
        EXPECT_TRUE(inputsLocked());
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

TEST_F(ClockTickTest, ClosingTheWindowWhileArmedEndsTheProgramWithoutAction) {
    armAt(localTime(2026, 3, 10, 10, 0), 0, 1);
    headless::runFor(5000);

    headless::closeWindow(TimerWindow);
    headless::runFor(3600LL * 1000);

    EXPECT_EQ(headless::exitCode(), 0);
    EXPECT_TRUE(headless::powerCalls().empty());
}

}  // namespace
