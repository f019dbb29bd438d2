#include "timer/clock_tick.h"

#include <array>
#include <cstddef>

#include "app/globals.h"
#include "support/dialogs.h"
#include "support/numbers.h"
#include "timer/countdown.h"
#include "timer/power_action.h"
#include "ui/controls.h"
#include "ui/timer_window.h"

namespace {

// The mode for each item of the action list, in list order: 关机, 重启, 休眠, 注销.
constexpr std::array<int, 4> kModeOfSelection{kPowerOff, kRestart, kSuspend, kLogOff};

void performChosenAction() {
    const int selection = selectionOf(组合框1);
    if (selection < 0 || selection >= static_cast<int>(kModeOfSelection.size())) {
        messageBox("程序错误！", kStyleError, "错误：");
        return;
    }
    const int mode = kModeOfSelection[static_cast<std::size_t>(selection)];
    if (performPowerAction(mode, true) == 0) {
        // The user left the computer expecting it to go off: say that it did not.
        setCaption(标签3, concatText(shownTextOf(组合框1), "失败"));
    }
}

}  // namespace

void clockTick() {
    // Everything this tick shows and decides comes from one reading, so that the clock line
    // cannot mix the hour before a full hour with the minute after it.
    const DateTime now = currentTime();
    currentHour = hourOf(now);
    currentMinute = minuteOf(now);
    minutesLeft = toWholeNumber(static_cast<double>(targetMinute) - currentMinute);
    setCaption(标签5,
               concatText("现在时间：", integerToText(hourOf(now)), "点",
                          integerToText(minuteOf(now)), "分", integerToText(secondOf(now)), "秒"));

    if (now < countdownTarget) {
        return;
    }
    // Stopped before the action and any message box, so that one arming fires at most once.
    setInterval(时钟1, 0);
    performChosenAction();
}
