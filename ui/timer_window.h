// The program's one visible window: the banner, the input row, the status and clock lines
// and the footer with the home link.
#pragma once

#include <optional>

#include "ui/window_template.h"

inline constexpr ElementId TimerWindow = 0x52010035;

// Controls, named as the handlers know them.
inline constexpr ElementId 标签6 = 0x16010037;      // banner
inline constexpr ElementId 标签5 = 0x16010038;      // clock line
inline constexpr ElementId 透明标签1 = 0x16010039;  // home link over the footer
inline constexpr ElementId 按钮2 = 0x1601003a;      // cancel
inline constexpr ElementId 时钟1 = 0x1601003b;      // one-second timer
inline constexpr ElementId 标签4 = 0x1601003c;      // footer
inline constexpr ElementId 组合框1 = 0x1601003d;    // action list
inline constexpr ElementId 标签3 = 0x1601003e;      // status line
inline constexpr ElementId 按钮1 = 0x1601003f;      // start
inline constexpr ElementId 编辑框2 = 0x16010040;    // minutes
inline constexpr ElementId 编辑框1 = 0x16010041;    // hours
inline constexpr ElementId 标签2 = 0x16010042;      // "分后"
inline constexpr ElementId 标签1 = 0x16010043;      // "小时"

// RCDATA and icon resources the template refers to.
inline constexpr int kBannerResource = 101;
inline constexpr int kAppIconResource = 1;

extern const WindowTemplate timerWindowTemplate;

void onTimerWindowCreated();
std::optional<bool> onHomeLinkPressed(int x, int y, int keys);
