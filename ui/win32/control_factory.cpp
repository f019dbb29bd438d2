#include "ui/win32/control_factory.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <variant>

#include "support/numbers.h"
#include "ui/spinner_step.h"
#include "ui/win32/label_painter.h"
#include "ui/win32/message_params.h"

namespace {

constexpr const char* kLabelClass = "ChenfengTimerLabel";
constexpr const char* kTransparentLabelClass = "ChenfengTimerTransparentLabel";
constexpr const char* kTimerClass = "ChenfengTimerClock";

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

ControlRecord* recordOf(HWND handle) {
    return pointerFrom<ControlRecord*>(GetWindowLongPtrA(handle, GWLP_USERDATA));
}

LRESULT CALLBACK labelProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the whole label; erasing first would flicker
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(handle, &paint);
            if (ControlRecord* record = recordOf(handle); record != nullptr) {
                paintLabel(*record, dc);
            }
            EndPaint(handle, &paint);
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(handle, message, wParam, lParam);
            InvalidateRect(handle, nullptr, FALSE);
            return result;
        }
        default:
            return DefWindowProcA(handle, message, wParam, lParam);
    }
}

LRESULT CALLBACK transparentLabelProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // what lies beneath shows through
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(handle, &paint);
            if (ControlRecord* record = recordOf(handle); record != nullptr) {
                paintTransparentLabel(*record, dc);
            }
            EndPaint(handle, &paint);
            return 0;
        }
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(handle, message, wParam, lParam);
            // The parent repaints the area so that the old caption does not stay behind.
            RECT area{};
            GetWindowRect(handle, &area);
            MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&area), 2);
            InvalidateRect(GetParent(handle), &area, TRUE);
            return result;
        }
        default:
            return DefWindowProcA(handle, message, wParam, lParam);
    }
}

LRESULT CALLBACK timerProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        ControlRecord* record = recordOf(handle);
        if (record != nullptr && record->layout->onTick != nullptr) {
            record->layout->onTick();
        }
        return 0;
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

bool registerClass(const char* name, WNDPROC procedure, HCURSOR cursor) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance();
    windowClass.hCursor = cursor;
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

struct ChildWindow {
    const char* windowClass = nullptr;
    std::string text;
    DWORD style = 0;
    DWORD extendedStyle = 0;
    int height = 0;
};

HWND createChild(HWND parent, const ControlTemplate& layout, const ChildWindow& child) {
    DWORD style = WS_CHILD | child.style;
    if (layout.visible) {
        style |= WS_VISIBLE;
    }
    if (layout.disabled) {
        style |= WS_DISABLED;
    }
    if (layout.tabStop) {
        style |= WS_TABSTOP;
    }
    const int height = child.height > 0 ? child.height : layout.rect.height;
    return CreateWindowExA(child.extendedStyle, child.windowClass, child.text.c_str(), style,
                           layout.rect.left, layout.rect.top, layout.rect.width, height, parent,
                           pointerFrom<HMENU>(static_cast<INT_PTR>(childIdOf(layout.id))),
                           instance(), nullptr);
}

void useDefaultFont(HWND control) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
}

FontHandle makeFont(const FontSpec& font) {
    if (font.face.empty()) {
        return nullptr;
    }
    const std::string face(font.face);
    return FontHandle(CreateFontA(-font.characterHeight, 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

void create(HWND parent, ControlRecord& record, const LabelSettings& label) {
    record.font = makeFont(label.font);
    record.handle = createChild(parent, *record.layout,
                                {.windowClass = kLabelClass, .text = std::string(label.caption)});
    if (label.pictureResource != 0) {
        loadLabelPicture(record, label.pictureResource);
    }
}

void create(HWND parent, ControlRecord& record, const TransparentLabelSettings& label) {
    record.handle = createChild(parent, *record.layout,
                                {.windowClass = kTransparentLabelClass,
                                 .text = std::string(label.caption),
                                 .extendedStyle = WS_EX_TRANSPARENT});
}

void create(HWND parent, ControlRecord& record, const ButtonSettings& button) {
    record.handle = createChild(parent, *record.layout,
                                {.windowClass = "BUTTON",
                                 .text = std::string(button.caption),
                                 .style = BS_PUSHBUTTON | BS_CENTER | BS_VCENTER});
    useDefaultFont(record.handle);
}

void create(HWND parent, ControlRecord& record, const SpinEditSettings& edit) {
    const ControlTemplate& layout = *record.layout;
    // Read-only: only the arrows change the box, and the arrow keys do not.
    record.handle = createChild(parent, layout,
                                {.windowClass = "EDIT",
                                 .text = std::string(edit.content),
                                 .style = ES_CENTER | ES_READONLY | ES_AUTOHSCROLL,
                                 .extendedStyle = WS_EX_CLIENTEDGE});
    useDefaultFont(record.handle);
    Edit_LimitText(record.handle, edit.maxLength);

    // No buddy and no UDS_ARROWKEYS: the arrows only report steps, which the window turns
    // into exact steps of one with wrap-around (the control's own acceleration would skip).
    DWORD style = WS_CHILD | UDS_NOTHOUSANDS;
    if (layout.visible) {
        style |= WS_VISIBLE;
    }
    if (layout.disabled) {
        style |= WS_DISABLED;
    }
    const int spinnerLeft = layout.rect.left + layout.rect.width;
    record.spinner =
        CreateWindowExA(0, UPDOWN_CLASSA, "", style, spinnerLeft, layout.rect.top, edit.spinWidth,
                        layout.rect.height, parent, nullptr, instance(), nullptr);
    // Placed again: Wine's up-down control makes itself 16 pixels wide when it is created.
    SetWindowPos(record.spinner, nullptr, spinnerLeft, layout.rect.top, edit.spinWidth,
                 layout.rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
    // A wide range keeps the arrows reporting in both directions at every value.
    SendMessageA(record.spinner, UDM_SETRANGE32, static_cast<WPARAM>(-30000), 30000);
    SendMessageA(record.spinner, UDM_SETPOS32, 0, 0);
}

int heightOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return static_cast<int>(rect.bottom - rect.top);
}

// Windows sizes a closed drop-down list from its font; the template's height is what lines it
// up with the buttons beside it, so the selection field is shrunk or grown to fit. Measured,
// not computed: the frame around the field differs between systems, and Wine reads the field
// back taller than it was set, so the height asked for is tracked here.
void keepClosedHeight(HWND list, int height) {
    auto field = static_cast<int>(SendMessageA(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int excess = heightOf(list) - height;
        if (excess == 0 || field - excess < 1) {
            return;
        }
        field -= excess;
        SendMessageA(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

void create(HWND parent, ControlRecord& record, const DropDownListSettings& list) {
    record.handle = createChild(parent, *record.layout,
                                {.windowClass = "COMBOBOX",
                                 .style = CBS_DROPDOWNLIST | WS_VSCROLL,
                                 .height = list.openedHeight});
    useDefaultFont(record.handle);
    keepClosedHeight(record.handle, record.layout->rect.height);
    for (TextView item : list.items) {
        const std::string text(item);
        ComboBox_AddString(record.handle, text.c_str());
    }
    // Rows one pixel taller than the system's.
    const auto rowHeight = static_cast<int>(SendMessageA(record.handle, CB_GETITEMHEIGHT, 0, 0));
    SendMessageA(record.handle, CB_SETITEMHEIGHT, 0, rowHeight + 1);
    const int count = static_cast<int>(list.items.size());
    ComboBox_SetCurSel(record.handle, std::clamp(list.selected, -1, count - 1));
}

void create(HWND parent, ControlRecord& record, const TimerSettings& timer) {
    // The timer's own hidden window receives its ticks.
    ControlTemplate hidden = *record.layout;
    hidden.visible = false;
    record.handle = createChild(parent, hidden, {.windowClass = kTimerClass});
    record.interval = 0;
    if (timer.interval > 0) {
        record.interval = timer.interval;
        SetTimer(record.handle, kTimerId, static_cast<UINT>(timer.interval), nullptr);
    }
}

void placeAtBottom(HWND control) {
    SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void stepSpinner(ControlRecord& box, bool up) {
    if (!IsWindowEnabled(box.handle) || !IsWindowVisible(box.handle)) {
        return;
    }
    const auto& settings = std::get<SpinEditSettings>(box.layout->settings);
    char content[32] = {};
    GetWindowTextA(box.handle, content, sizeof content);
    const int value = spinnerStep(content, settings.spinLower, settings.spinUpper, up);
    SetWindowTextA(box.handle, integerToText(value).c_str());
    Edit_SetSel(box.handle, 0, -1);
    Edit_ScrollCaret(box.handle);
    SetFocus(box.handle);
}

}  // namespace

bool registerControlClasses() {
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    return registerClass(kLabelClass, labelProc, arrow) &&
           registerClass(kTransparentLabelClass, transparentLabelProc, arrow) &&
           registerClass(kTimerClass, timerProc, arrow);
}

void createControls(WindowRecord& window) {
    for (const ControlTemplate& layout : window.layout->controls) {
        auto& record = window.controls.emplace_back(std::make_unique<ControlRecord>());
        record->layout = &layout;
        std::visit([&](const auto& settings) { create(window.handle, *record, settings); },
                   layout.settings);
        if (record->handle == nullptr) {
            continue;
        }
        SetWindowLongPtrA(record->handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record.get()));
        // Each control goes below those before it: the first record ends up on top.
        placeAtBottom(record->handle);
        if (record->spinner != nullptr) {
            placeAtBottom(record->spinner);
        }
    }
}

LRESULT handleControlNotify(WindowRecord& /*window*/, const NMHDR& header) {
    if (header.code != UDN_DELTAPOS) {
        return 0;
    }
    ControlRecord* box = findControlByHandle(header.hwndFrom);
    if (box == nullptr) {
        return 0;
    }
    const auto& step = reinterpret_cast<const NMUPDOWN&>(header);
    if (step.iDelta != 0) {
        stepSpinner(*box, step.iDelta > 0);
    }
    return TRUE;  // the arrows keep their own position; the box holds the value
}

HBRUSH staticColour(HWND control, HDC dc) {
    ControlRecord* record = findControlByHandle(control);
    if (record == nullptr || !std::holds_alternative<SpinEditSettings>(record->layout->settings) ||
        !IsWindowEnabled(control)) {
        return nullptr;
    }
    // Read-only boxes would be grey; these are black on white like ordinary ones.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}
