#include "timer/countdown.h"

#include "app/globals.h"
#include "support/dialogs.h"
#include "support/numbers.h"
#include "ui/controls.h"
#include "ui/timer_window.h"

DateTime countdownTarget;

void armCountdown() {
    // The hours box alone decides when it is set; the minutes box is read only otherwise.
    if (toInteger(contentOf(编辑框1)) == 0 && toInteger(contentOf(编辑框2)) == 0) {
        messageBox("请设定时间！", kStyleInformation, "错误：");
        return;
    }

    // Hour and minute from one reading: two readings astride the full hour (10:59:59, then
    // 11:00:00) would set the target an hour early.
    const DateTime now = currentTime();
    targetHour = toWholeNumber(static_cast<double>(hourOf(now)) + toInteger(contentOf(编辑框1)));
    targetMinute =
        toWholeNumber(static_cast<double>(minuteOf(now)) + toInteger(contentOf(编辑框2)));
    // The boxes hold 0-22 hours and 0-59 minutes, so one carry and one wrap always suffice.
    if (targetMinute > 59) {
        targetHour += 1;
        targetMinute -= 60;
    }
    const bool tomorrow = targetHour > 23;
    if (tomorrow) {
        targetHour -= 24;
    }
    // Calendar days, not 24 hours of seconds: across a daylight-saving change the target
    // stays the time of day the status line shows.
    const DateTime today{now.year, now.month, now.day, targetHour, targetMinute, 0};
    countdownTarget = tomorrow ? addDays(today, 1) : today;

    setDisabled(编辑框1, true);
    setDisabled(编辑框2, true);
    setDisabled(组合框1, true);
    setDisabled(按钮1, true);
    setDisabled(按钮2, false);
    setCaption(标签3, concatText("系统将在", integerToText(targetHour), "点",
                                 integerToText(targetMinute), "分 ", shownTextOf(组合框1)));
    setInterval(时钟1, 1000);
}

void cancelCountdown() {
    setInterval(时钟1, 0);
    setDisabled(编辑框1, false);
    setDisabled(编辑框2, false);
    setDisabled(组合框1, false);
    setDisabled(按钮1, false);
    setDisabled(按钮2, true);
    setCaption(标签3, "已取消");
    setCaption(标签5, "");
}
