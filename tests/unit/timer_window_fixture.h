// A freshly started program with its timer window open, and the user's way of arming it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <vector>

#include "app/program.h"
#include "support/date_time.h"
#include "support/numbers.h"
#include "tests/headless/headless.h"
#include "tests/headless/power.h"
#include "ui/timer_window.h"

// Readable failures: "2026-3-29 2:30:0".
inline void PrintTo(const DateTime& value, std::ostream* out) {
    *out << value.year << '-' << value.month << '-' << value.day << ' ' << value.hour << ':'
         << value.minute << ':' << value.second;
}

// A reading of the local clock, written as a call so that tables of cases stay one row a line.
inline DateTime localTime(int year, int month, int day, int hour, int minute, int second = 0) {
    return {year, month, day, hour, minute, second};
}

class TimerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        ASSERT_EQ(runProgram(), 0);
    }

    // At the given time, sets the boxes and the list as the spinners and the list would, and
    // presses 设定. The first tick follows one second later.
    static void armAt(const DateTime& now, int hours, int minutes, int action = 0) {
        headless::setClock(now);
        headless::element(编辑框1).caption = integerToText(hours);
        headless::element(编辑框2).caption = integerToText(minutes);
        ASSERT_TRUE(headless::select(组合框1, action));
        ASSERT_TRUE(headless::click(按钮1));
    }

    // Lets the next tick come at exactly this time.
    static void tickAt(const DateTime& when) {
        headless::setClock(addSeconds(when, -1));
        headless::runFor(1000);
    }

    static bool timerRunning() { return headless::element(时钟1).interval > 0; }

    static bool inputsLocked() {
        return headless::element(编辑框1).disabled && headless::element(编辑框2).disabled &&
               headless::element(组合框1).disabled && headless::element(按钮1).disabled &&
               !headless::element(按钮2).disabled;
    }

    static bool inputsIdle() {
        return !headless::element(编辑框1).disabled && !headless::element(编辑框2).disabled &&
               !headless::element(组合框1).disabled && !headless::element(按钮1).disabled &&
               headless::element(按钮2).disabled;
    }

    // The requests that would end the session or suspend the computer, without the platform
    // and privilege calls around them.
    static std::vector<Text> powerRequests() {
        std::vector<Text> requests;
        std::copy_if(headless::powerCalls().begin(), headless::powerCalls().end(),
                     std::back_inserter(requests), [](const Text& call) {
                         return call.starts_with("ExitWindowsEx") ||
                                call.starts_with("SetSystemPowerState");
                     });
        return requests;
    }
};
