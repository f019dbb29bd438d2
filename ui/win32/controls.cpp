#include "ui/controls.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "ui/win32/window_records.h"

namespace {

HWND handleOf(ElementId element) {
    if (WindowRecord* window = findWindow(element); window != nullptr) {
        return window->handle;
    }
    ControlRecord* control = findControl(element);
    return control != nullptr ? control->handle : nullptr;
}

Text windowText(HWND handle) {
    Text text(static_cast<std::size_t>(GetWindowTextLengthA(handle)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(handle, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void setCaption(ElementId element, TextView text) {
    HWND handle = handleOf(element);
    if (handle != nullptr) {
        const Text caption(text);
        SetWindowTextA(handle, caption.c_str());
    }
}

void setDisabled(ElementId control, bool disabled) {
    ControlRecord* record = findControl(control);
    if (record == nullptr) {
        return;
    }
    EnableWindow(record->handle, disabled ? FALSE : TRUE);
    if (record->spinner != nullptr) {
        EnableWindow(record->spinner, disabled ? FALSE : TRUE);
    }
}

Text contentOf(ElementId editBox) {
    ControlRecord* record = findControl(editBox);
    return record != nullptr ? windowText(record->handle) : Text();
}

Text shownTextOf(ElementId list) {
    ControlRecord* record = findControl(list);
    if (record == nullptr) {
        return {};
    }
    const int selected = ComboBox_GetCurSel(record->handle);
    if (selected < 0) {
        return {};
    }
    const int length = ComboBox_GetLBTextLen(record->handle, selected);
    if (length <= 0) {
        return {};
    }
    Text text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ComboBox_GetLBText(record->handle, selected, text.data());
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

int selectionOf(ElementId list) {
    ControlRecord* record = findControl(list);
    return record != nullptr ? ComboBox_GetCurSel(record->handle) : -1;
}

void setInterval(ElementId timer, int milliseconds) {
    ControlRecord* record = findControl(timer);
    if (record == nullptr) {
        return;
    }
    const int interval = std::max(milliseconds, 0);
    if (interval == record->interval) {
        return;  // a running timer keeps its period and phase
    }
    if (record->interval > 0) {
        KillTimer(record->handle, kTimerId);
    }
    record->interval = interval;
    if (interval > 0) {
        SetTimer(record->handle, kTimerId, static_cast<UINT>(interval), nullptr);
    }
}
