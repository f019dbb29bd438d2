// The start and cancel buttons of the timer window.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "tests/headless/clock_readings.h"
#include "tests/unit/timer_window_fixture.h"
#include "timer/countdown.h"

namespace {

using CountdownTest = TimerWindowTest;

struct ArmCase {
    const char* name;
    DateTime now;
    int hours;
    int minutes;
    int action;
    const char* status;
    DateTime target;
};

TEST_F(CountdownTest, ArmingNamesTheTargetLocksTheInputsAndStartsTheTimer) {
    const ArmCase cases[] = {
        {"minutes only", localTime(2026, 3, 10, 21, 58), 0, 7, 0, "系统将在22点5分 关机",
         localTime(2026, 3, 10, 22, 5)},
        {"minutes carry into the hour", localTime(2026, 3, 10, 21, 40, 5), 0, 30, 1,
         "系统将在22点10分 重启", localTime(2026, 3, 10, 22, 10)},
        {"seconds of the start are not counted", localTime(2026, 3, 10, 10, 59, 40), 0, 1, 3,
         "系统将在11点0分 注销", localTime(2026, 3, 10, 11, 0)},
        {"hours only", localTime(2026, 3, 10, 8, 15, 30), 3, 0, 2, "系统将在11点15分 休眠",
         localTime(2026, 3, 10, 11, 15)},
        {"largest delay: carry and wrap", localTime(2026, 3, 10, 23, 59), 22, 59, 1,
         "系统将在22点58分 重启", localTime(2026, 3, 11, 22, 58)},
        {"hour wraps past midnight", localTime(2026, 3, 10, 23, 30), 1, 0, 0,
         "系统将在0点30分 关机", localTime(2026, 3, 11, 0, 30)},
        {"into the next year", localTime(2026, 12, 31, 23, 50), 0, 15, 0, "系统将在0点5分 关机",
         localTime(2027, 1, 1, 0, 5)},
        {"onto a leap day", localTime(2028, 2, 28, 20, 0), 22, 0, 0, "系统将在18点0分 关机",
         localTime(2028, 2, 29, 18, 0)},
    };
    for (const ArmCase& test : cases) {
        SCOPED_TRACE(test.name);
        SetUp();

        armAt(test.now, test.hours, test.minutes, test.action);

        EXPECT_EQ(headless::element(标签3).caption, test.status);
        EXPECT_EQ(targetHour, test.target.hour);
        EXPECT_EQ(targetMinute, test.target.minute);
        EXPECT_EQ(countdownTarget, test.target);
        EXPECT_TRUE(inputsLocked());
        EXPECT_EQ(headless::element(时钟1).interval, 1000);
        EXPECT_EQ(headless::element(标签5).caption, "");
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

TEST_F(CountdownTest, NoDelayShowsTheErrorBoxAndChangesNothing) {
    targetHour = 7;
    targetMinute = 8;
    countdownTarget = localTime(2026, 1, 1, 7, 8);

    armAt(localTime(2026, 1, 1, 10, 0), 0, 0);

    ASSERT_EQ(headless::messageBoxes().size(), 1U);
    EXPECT_EQ(headless::messageBoxes()[0].message, "请设定时间！");
    EXPECT_EQ(headless::messageBoxes()[0].title, "错误：");
    EXPECT_EQ(headless::messageBoxes()[0].style, 64);
    EXPECT_EQ(headless::element(标签3).caption, "请设定时间");
    EXPECT_TRUE(inputsIdle());
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(targetHour, 7);
    EXPECT_EQ(targetMinute, 8);
    EXPECT_EQ(countdownTarget, localTime(2026, 1, 1, 7, 8));

    headless::runFor(24LL * 3600 * 1000);
    EXPECT_EQ(headless::element(标签5).caption, "");
    EXPECT_TRUE(headless::powerCalls().empty());
}

struct AstrideCase {
    DateTime now;
    int hours;
    int minutes;
    const char* status;
    DateTime target;
};

// A clock that moves on by a second at every reading puts a second reading of the same
// start past the full hour; the target must still follow from the first.
TEST_F(CountdownTest, ArmingTakesHourAndMinuteFromOneReading) {
    const AstrideCase cases[] = {
        {localTime(2026, 3, 10, 10, 59, 59), 0, 5, "系统将在11点4分 关机",
         localTime(2026, 3, 10, 11, 4)},
        {localTime(2026, 3, 10, 23, 59, 59), 0, 1, "系统将在0点0分 关机",
         localTime(2026, 3, 11, 0, 0)},
        {localTime(2026, 3, 10, 23, 59, 59), 1, 0, "系统将在0点59分 关机",
         localTime(2026, 3, 11, 0, 59)},
    };
    for (const AstrideCase& test : cases) {
        SCOPED_TRACE(test.status);
        SetUp();
        headless::advanceClockOnEachReading(1);

        armAt(test.now, test.hours, test.minutes);

        EXPECT_EQ(headless::element(标签3).caption, test.status);
        EXPECT_EQ(countdownTarget, test.target);
    }
}

struct CancelCase {
    const char* name;
    int action;
    int runSeconds;          // from arming at 10:00:00 with 5 minutes, to the cancel
    unsigned powerRequests;  // made before the cancel
    bool refused;
};

TEST_F(CountdownTest, CancelStopsTheTimerAndUnlocksTheInputs) {
    const CancelCase cases[] = {
        {"before the first tick", 0, 0, 0, false},
        {"while armed", 1, 3, 0, false},
        {"after firing", 1, 5 * 60, 1, false},
        {"after a refused action", 0, 5 * 60, 1, true},
    };
    for (const CancelCase& test : cases) {
        SCOPED_TRACE(test.name);
        SetUp();
        headless::setPowerRequestResult(test.refused ? 0 : 1);
        armAt(localTime(2026, 3, 10, 10, 0), 0, 5, test.action);
        headless::runFor(test.runSeconds * 1000LL);

        ASSERT_TRUE(headless::click(按钮2));

        EXPECT_FALSE(timerRunning());
        EXPECT_TRUE(inputsIdle());
        EXPECT_EQ(headless::element(标签3).caption, "已取消");
        EXPECT_EQ(headless::element(标签5).caption, "");
        // The next start overwrites the target; cancel leaves it.
        EXPECT_EQ(targetHour, 10);
        EXPECT_EQ(targetMinute, 5);

        headless::runFor(24LL * 3600 * 1000);
        EXPECT_EQ(headless::element(标签5).caption, "");
        EXPECT_EQ(powerRequests().size(), test.powerRequests);
    }
}

TEST_F(CountdownTest, ArmingAgainAfterCancelFiresOnTheNewTargetOnly) {
    armAt(localTime(2026, 3, 10, 10, 0), 0, 30, 0);
    headless::runFor(10LL * 60 * 1000);
    ASSERT_TRUE(headless::click(按钮2));

    armAt(localTime(2026, 3, 10, 10, 10), 0, 5, 1);
    EXPECT_EQ(headless::element(标签3).caption, "系统将在10点15分 重启");
    headless::runFor(60LL * 60 * 1000);

    EXPECT_EQ(powerRequests(), std::vector<Text>{"ExitWindowsEx 6 0"});
    EXPECT_EQ(headless::element(标签5).caption, "现在时间：10点15分0秒");
}

}  // namespace
