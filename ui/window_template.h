// Windows and their controls described as data: one plain record per control, with the
// settings of its kind and the handlers bound to its events.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>

#include "support/text.h"

// The template id of a window or control; the handlers name controls by it.
using ElementId = std::uint32_t;

// Plain handlers of window, button and timer events.
using EventHandler = void (*)();
// Left button pressed over a control: x and y from its top-left corner, key mask (1 Ctrl,
// 2 Shift, 4 Alt). Returning false swallows the press; no value or true passes it on.
using MouseHandler = std::optional<bool> (*)(int x, int y, int keys);

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// An empty face means the system's default GUI font.
struct FontSpec {
    TextView face;
    int characterHeight = 0;  // pixels, passed as a negative font height
    int weight = 400;
};

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Centre, Bottom };

struct LabelSettings {
    TextView caption;
    FontSpec font;
    Color text;
    std::optional<Color> background;  // none: the system's button-face colour
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Centre;
    bool raised = false;      // white copy of the caption at (+1, +1) under it
    int pictureResource = 0;  // RCDATA id of a JPEG drawn tiled from the top-left; 0: none
};

// Draws nothing but its caption; what lies beneath shows through.
struct TransparentLabelSettings {
    TextView caption;
};

struct ButtonSettings {
    TextView caption;
};

// A read-only box changed only by its up-down arrows, which step by one and wrap.
struct SpinEditSettings {
    TextView content;
    int maxLength = 2;
    int spinLower = 0;
    int spinUpper = 0;
    int spinWidth = 18;
};

struct DropDownListSettings {
    std::span<const TextView> items;
    int selected = 0;
    int openedHeight = 160;
};

struct TimerSettings {
    int interval = 0;  // milliseconds; 0 is stopped
};

using ControlSettings = std::variant<LabelSettings, TransparentLabelSettings, ButtonSettings,
                                     SpinEditSettings, DropDownListSettings, TimerSettings>;

// Standard cursor ids (IDC_ARROW and IDC_HAND's value).
constexpr int kCursorDefault = 0;
constexpr int kCursorHand = 32649;

struct ControlTemplate {
    ElementId id = 0;
    TextView name;
    Rect rect;
    ControlSettings settings;
    bool visible = true;
    bool disabled = false;
    bool tabStop = false;
    int cursor = kCursorDefault;
    EventHandler onClick = nullptr;           // buttons
    EventHandler onTick = nullptr;            // timers
    MouseHandler onLeftButtonDown = nullptr;  // any control
};

struct WindowTemplate {
    ElementId id = 0;
    TextView name;
    TextView caption;
    int outerWidth = 0;
    int outerHeight = 0;
    bool centred = true;
    bool visible = true;
    bool minimizeBox = false;
    bool escCloses = false;
    int iconResource = 0;  // 0: none
    EventHandler onCreated = nullptr;
    EventHandler onDestroyed = nullptr;
    std::span<const ControlTemplate> controls;
};
