// The window layer's records of the open windows, shared by the layer and the control
// operations.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/win32/handles.h"
#include "ui/window_template.h"

struct ControlRecord {
    const ControlTemplate* layout = nullptr;
    HWND handle = nullptr;
    HWND spinner = nullptr;  // the up-down arrows of a spin box
    FontHandle font;         // null: the default GUI font
    BitmapHandle picture;    // decoded banner of a picture label
    SIZE pictureSize{};      // its width and height in pixels
    int interval = 0;        // timers: the current interval, 0 when stopped
};

struct WindowRecord {
    const WindowTemplate* layout = nullptr;
    HWND handle = nullptr;
    std::vector<std::unique_ptr<ControlRecord>> controls;
    IconHandle bigIcon;
    IconHandle smallIcon;
    HWND focusBeforeDeactivation = nullptr;
};

// Every timer control ticks through this id on its own hidden window.
constexpr UINT_PTR kTimerId = 1000;

// Null when no open window has the element.
WindowRecord* findWindow(ElementId window);
WindowRecord* findWindowByHandle(HWND handle);
ControlRecord* findControl(ElementId control);
ControlRecord* findControlByHandle(HWND handle);

// The id a control's child window carries: the low word of its template id, which is what
// WM_COMMAND can pass and what GetDlgItem finds from outside.
inline int childIdOf(ElementId control) {
    return static_cast<int>(control & 0xFFFFU);
}
