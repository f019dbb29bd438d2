#include "ui/window_layer.h"

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>

#include "ui/win32/control_factory.h"
#include "ui/win32/message_params.h"
#include "ui/win32/window_records.h"

namespace {

constexpr const char* kWindowClass = "ChenfengTimerWindow";

struct Layer {
    std::span<const WindowTemplate* const> templates;
    std::vector<std::unique_ptr<WindowRecord>> windows;
    EventHandler cleanup = nullptr;
    bool ending = false;
};

Layer layer;

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

const WindowTemplate* templateOf(ElementId window) {
    auto found = std::find_if(layer.templates.begin(), layer.templates.end(),
                              [window](const WindowTemplate* t) { return t->id == window; });
    return found == layer.templates.end() ? nullptr : *found;
}

// Keys held while the mouse button went down, as handlers see them: 1 Ctrl, 2 Shift, 4 Alt.
int keyMaskOf(WPARAM mouseKeys) {
    int mask = 0;
    if ((mouseKeys & MK_CONTROL) != 0) {
        mask |= 1;
    }
    if ((mouseKeys & MK_SHIFT) != 0) {
        mask |= 2;
    }
    if (GetKeyState(VK_MENU) < 0) {
        mask |= 4;
    }
    return mask;
}

bool modifierHeld() {
    return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0;
}

bool usable(HWND control) {
    return IsWindowVisible(control) && IsWindowEnabled(control);
}

// Controls taking the focus with Tab, in focus order. All have the same tab order, and equal
// orders go by descending template position.
std::vector<HWND> focusOrder(const WindowRecord& window) {
    std::vector<HWND> order;
    for (auto it = window.controls.rbegin(); it != window.controls.rend(); ++it) {
        if ((*it)->layout->tabStop) {
            order.push_back((*it)->handle);
        }
    }
    return order;
}

void focusControl(HWND control) {
    SetFocus(control);
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "Edit") == 0) {
        Edit_SetSel(control, 0, -1);
    }
}

void focusFirst(const WindowRecord& window) {
    for (HWND control : focusOrder(window)) {
        if (usable(control)) {
            focusControl(control);
            return;
        }
    }
}

void moveFocus(const WindowRecord& window, bool backwards) {
    std::vector<HWND> order = focusOrder(window);
    if (backwards) {
        std::reverse(order.begin(), order.end());
    }
    HWND focused = GetFocus();
    auto current = std::find(order.begin(), order.end(), focused);
    // With nothing focused (a button that disabled itself had it) start before the first.
    const std::size_t start = current == order.end()
                                  ? order.size() - 1
                                  : static_cast<std::size_t>(current - order.begin());
    for (std::size_t step = 1; step <= order.size(); ++step) {
        HWND candidate = order[(start + step) % order.size()];
        if (usable(candidate)) {
            focusControl(candidate);
            return;
        }
    }
}

// An open drop-down list takes Esc and Enter to close itself.
bool openListHasFocus() {
    HWND focused = GetFocus();
    char className[16] = {};
    return focused != nullptr && GetClassNameA(focused, className, sizeof className) > 0 &&
           lstrcmpiA(className, "ComboBox") == 0 &&
           SendMessageA(focused, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

// A key press as the window sees it. With no control focused (a button that disabled itself
// had the focus) Windows hands key presses to the active window as system keys, so these
// count too when Alt is not held.
bool isKeyPress(const MSG& message) {
    return message.message == WM_KEYDOWN ||
           (message.message == WM_SYSKEYDOWN && GetKeyState(VK_MENU) >= 0);
}

// Keys the window handles itself, before any control sees them. True when handled.
bool handleWindowKey(WindowRecord& window, const MSG& message) {
    if (!isKeyPress(message)) {
        return false;
    }
    switch (message.wParam) {
        case VK_ESCAPE:
            if (!window.layout->escCloses || modifierHeld() || openListHasFocus()) {
                return false;
            }
            PostMessageA(window.handle, WM_CLOSE, 0, 0);
            return true;
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
                return false;
            }
            moveFocus(window, GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_RETURN:
            // No default button, and Enter does not move the focus.
            return !openListHasFocus();
        default:
            return false;
    }
}

// Mouse presses reach a bound handler before the control; false from it swallows the press.
bool swallowedByHandler(const MSG& message) {
    if (message.message != WM_LBUTTONDOWN) {
        return false;
    }
    ControlRecord* control = findControlByHandle(message.hwnd);
    if (control == nullptr || control->layout->onLeftButtonDown == nullptr) {
        return false;
    }
    const std::optional<bool> passOn = control->layout->onLeftButtonDown(
        GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam), keyMaskOf(message.wParam));
    return passOn.has_value() && !*passOn;
}

bool preTranslate(const MSG& message) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    WindowRecord* window = findWindowByHandle(root);
    if (window == nullptr) {
        return false;
    }
    return handleWindowKey(*window, message) || swallowedByHandler(message);
}

void releaseRecordsAndCleanUp() {
    layer.ending = true;
    layer.windows.clear();
    if (layer.cleanup != nullptr) {
        EventHandler routine = layer.cleanup;
        layer.cleanup = nullptr;
        routine();
    }
}

void rememberFocus(WindowRecord& window) {
    HWND focused = GetFocus();
    if (focused != nullptr && IsChild(window.handle, focused)) {
        window.focusBeforeDeactivation = focused;
    }
}

void restoreFocus(const WindowRecord& window) {
    HWND remembered = window.focusBeforeDeactivation;
    if (remembered != nullptr && IsWindow(remembered) && usable(remembered)) {
        focusControl(remembered);
    } else {
        focusFirst(window);
    }
}

void onActivate(WindowRecord& window, WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        rememberFocus(window);
    } else if (HIWORD(state) == 0) {
        // A minimised window takes no focus; restoring it gives the window the focus, which
        // WM_SETFOCUS passes on.
        restoreFocus(window);
    }
}

void onDestroy(WindowRecord& window) {
    if (window.layout->onDestroyed != nullptr) {
        window.layout->onDestroyed();
    }
    if (layer.ending) {
        return;
    }
    std::erase_if(layer.windows,
                  [&window](const std::unique_ptr<WindowRecord>& w) { return w.get() == &window; });
    if (layer.windows.empty()) {
        PostQuitMessage(0);
    }
}

LRESULT CALLBACK windowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* window = findWindowByHandle(handle);
    if (window == nullptr) {
        return DefWindowProcA(handle, message, wParam, lParam);
    }
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
                ControlRecord* control = findControlByHandle(pointerFrom<HWND>(lParam));
                if (control != nullptr && control->layout->onClick != nullptr) {
                    control->layout->onClick();
                }
            }
            return 0;
        case WM_NOTIFY:
            return handleControlNotify(*window, *pointerFrom<NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC: {
            HBRUSH brush = staticColour(pointerFrom<HWND>(lParam), pointerFrom<HDC>(wParam));
            if (brush != nullptr) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        }
        case WM_SETCURSOR: {
            ControlRecord* control = findControlByHandle(pointerFrom<HWND>(wParam));
            if (control != nullptr && control->layout->cursor != kCursorDefault &&
                LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(control->layout->cursor)));
                return TRUE;
            }
            break;
        }
        case WM_ACTIVATE:
            onActivate(*window, wParam);
            return 0;
        case WM_SETFOCUS:
            restoreFocus(*window);
            return 0;
        case WM_SYSCOMMAND:
            // Minimising takes the focus away before the window is deactivated.
            if ((wParam & 0xFFF0U) == SC_MINIMIZE) {
                rememberFocus(*window);
            }
            break;
        case WM_DESTROY:
            onDestroy(*window);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}

bool registerWindowClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance();
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = pointerFrom<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

IconHandle loadIcon(int resource, int size) {
    return IconHandle(static_cast<HICON>(
        LoadImageA(instance(), MAKEINTRESOURCEA(resource), IMAGE_ICON, size, size, 0)));
}

DWORD styleOf(const WindowTemplate& layout) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (layout.minimizeBox) {
        style |= WS_MINIMIZEBOX;
    }
    return style;
}

}  // namespace

WindowRecord* findWindow(ElementId window) {
    for (auto& record : layer.windows) {
        if (record->layout->id == window) {
            return record.get();
        }
    }
    return nullptr;
}

WindowRecord* findWindowByHandle(HWND handle) {
    for (auto& record : layer.windows) {
        if (record->handle == handle) {
            return record.get();
        }
    }
    return nullptr;
}

ControlRecord* findControl(ElementId control) {
    for (auto& window : layer.windows) {
        for (auto& record : window->controls) {
            if (record->layout->id == control) {
                return record.get();
            }
        }
    }
    return nullptr;
}

ControlRecord* findControlByHandle(HWND handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    for (auto& window : layer.windows) {
        for (auto& record : window->controls) {
            if (record->handle == handle || record->spinner == handle) {
                return record.get();
            }
        }
    }
    return nullptr;
}

bool initWindowLayer(std::span<const WindowTemplate* const> templates) {
    layer.templates = templates;

    // Relative paths mean the program's own folder, wherever it was started from.
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string folder(path, length);
        folder.erase(folder.find_last_of("\\/") + 1);
        SetCurrentDirectoryA(folder.c_str());
    }

    INITCOMMONCONTROLSEX commonControls{sizeof commonControls,
                                        ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&commonControls);
    return registerWindowClass() && registerControlClasses();
}

// The program opens every window modeless; a modal opening is accepted and treated alike.
bool openWindow(ElementId window, std::optional<ElementId> parent, bool /*modal*/) {
    const WindowTemplate* layout = templateOf(window);
    if (layout == nullptr) {
        return false;
    }
    HWND owner = nullptr;
    if (parent.has_value()) {
        WindowRecord* parentRecord = findWindow(*parent);
        owner = parentRecord != nullptr ? parentRecord->handle : nullptr;
    }
    const DWORD style = styleOf(*layout);
    int width = layout->outerWidth;
    int height = layout->outerHeight;
    int left = 0;
    int top = 0;
    if (layout->centred) {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    std::string caption(layout->caption);
    HWND handle = CreateWindowExA(0, kWindowClass, caption.c_str(), style, left, top, width, height,
                                  owner, nullptr, instance(), nullptr);
    if (handle == nullptr) {
        return false;
    }
    auto& record = layer.windows.emplace_back(std::make_unique<WindowRecord>());
    record->layout = layout;
    record->handle = handle;
    // The outer size is part of the layout, whatever the frame metrics made of it.
    SetWindowPos(handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    if (layout->iconResource != 0) {
        record->bigIcon = loadIcon(layout->iconResource, 32);
        record->smallIcon = loadIcon(layout->iconResource, 16);
        SendMessageA(handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(record->bigIcon.get()));
        SendMessageA(handle, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(record->smallIcon.get()));
    }
    createControls(*record);

    if (layout->onCreated != nullptr) {
        layout->onCreated();
    }
    // The created handler may have closed the program's way out; check before showing.
    WindowRecord* stillOpen = findWindowByHandle(handle);
    if (stillOpen != nullptr && layout->visible) {
        ShowWindow(handle, SW_SHOWNORMAL);
        UpdateWindow(handle);
    }
    return true;
}

void applyVisualStyle(int style) {
    const bool themed = style >= 1 && style <= 3;
    SetThemeAppProperties(themed ? STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS : 0);
    for (auto& window : layer.windows) {
        SendMessageA(window->handle, WM_THEMECHANGED, 0, 0);
        for (auto& control : window->controls) {
            SendMessageA(control->handle, WM_THEMECHANGED, 0, 0);
        }
    }
}

void runMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (preTranslate(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    releaseRecordsAndCleanUp();
}

void registerCleanup(EventHandler routine) {
    layer.cleanup = routine;
}

void endProgram(int exitCode) {
    releaseRecordsAndCleanUp();
    ExitProcess(static_cast<UINT>(exitCode));
}
