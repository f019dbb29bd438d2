#include <array>

#include "app/globals.h"
#include "app/program.h"
#include "timer/clock_tick.h"
#include "timer/countdown.h"
#include "ui/timer_window.h"

namespace {

constexpr Color kBlack{0, 0, 0};
constexpr Color kRed{255, 0, 0};
constexpr Color kBlue{0, 0, 255};
constexpr Color kGrey{128, 128, 128};

constexpr std::array<TextView, 4> kActions{"关机", "重启", "休眠", "注销"};

// Fields separated by " | ", centred in the footer. The last one must lie under the home link
// (x 208 to 352), so the host has to stay short: about 15 characters with the default name.
constexpr TextView kMakerLine = CFT_MAKER_NAME " | QQ：" CFT_MAKER_QQ " | 网址：" CFT_HOME_HOST;

// Template order is stacking order: the first record lies on top of all others.
const std::array<ControlTemplate, 13> controls{{
    {.id = 标签6,
     .name = "标签6",
     .rect = {0, 0, 352, 88},
     .settings = LabelSettings{.pictureResource = kBannerResource}},
    {.id = 标签5,
     .name = "标签5",
     .rect = {0, 176, 352, 24},
     .settings = LabelSettings{.font = {"宋体", 19, 700},
                               .text = kBlue,
                               .hAlign = HAlign::Centre,
                               .vAlign = VAlign::Centre}},
    {.id = 透明标签1,
     .name = "透明标签1",
     .rect = {208, 200, 144, 24},
     .settings = TransparentLabelSettings{},
     .cursor = kCursorHand,
     .onLeftButtonDown = onHomeLinkPressed},
    {.id = 按钮2,
     .name = "按钮2",
     .rect = {288, 96, 48, 24},
     .settings = ButtonSettings{"取消"},
     .tabStop = true,
     .onClick = cancelCountdown},
    {.id = 时钟1,
     .name = "时钟1",
     .rect = {40, 24, 24, 16},
     .settings = TimerSettings{},
     .visible = false,
     .onTick = clockTick},
    {.id = 标签4,
     .name = "标签4",
     .rect = {0, 200, 352, 24},
     .settings = LabelSettings{.caption = kMakerLine,
                               .text = kGrey,
                               .hAlign = HAlign::Centre,
                               .vAlign = VAlign::Centre,
                               .raised = true}},
    {.id = 组合框1,
     .name = "组合框1",
     .rect = {176, 98, 48, 20},
     .settings = DropDownListSettings{.items = kActions, .selected = 0, .openedHeight = 160},
     .tabStop = true},
    {.id = 标签3,
     .name = "标签3",
     .rect = {0, 136, 352, 40},
     .settings = LabelSettings{.caption = "请设定时间",
                               .font = {"楷体", 29, 700},
                               .text = kRed,
                               .hAlign = HAlign::Centre,
                               .vAlign = VAlign::Centre}},
    {.id = 按钮1,
     .name = "按钮1",
     .rect = {232, 96, 48, 24},
     .settings = ButtonSettings{"设定"},
     .tabStop = true,
     .onClick = armCountdown},
    {.id = 编辑框2,
     .name = "编辑框2",
     .rect = {96, 96, 24, 24},
     .settings = SpinEditSettings{.content = "0", .spinLower = 0, .spinUpper = 59},
     .tabStop = true},
    {.id = 编辑框1,
     .name = "编辑框1",
     .rect = {16, 96, 24, 24},
     .settings = SpinEditSettings{.content = "0", .spinLower = 0, .spinUpper = 22},
     .tabStop = true},
    {.id = 标签2,
     .name = "标签2",
     .rect = {144, 96, 24, 24},
     .settings = LabelSettings{.caption = "分后", .text = kBlack}},
    {.id = 标签1,
     .name = "标签1",
     .rect = {64, 96, 32, 24},
     .settings = LabelSettings{.caption = "小时", .text = kBlack}},
}};

}  // namespace

const WindowTemplate timerWindowTemplate{
    .id = TimerWindow,
    .name = "TimerWindow",
    .outerWidth = 355,
    .outerHeight = 250,
    .centred = true,
    .visible = true,
    .minimizeBox = true,
    .escCloses = true,
    .iconResource = kAppIconResource,
    .onCreated = onTimerWindowCreated,
    .onDestroyed = onTimerWindowDestroyed,
    .controls = controls,
};
