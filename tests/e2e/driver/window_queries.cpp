// Commands that look at windows without changing anything.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/commands.h"
#include "tests/e2e/driver/wide_text.h"

namespace {

// Message boxes use this id for their text.
constexpr int kMessageBoxTextId = 0xFFFF;

// Enumeration callbacks must be stdcall on i686, which a lambda cannot be.
BOOL CALLBACK collectWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Every descendant, parents before their children.
std::vector<HWND> descendantsOf(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The caption as the window manager keeps it; asks nothing of the window's thread, so it
// works while the program is busy.
std::wstring captionOf(HWND window) {
    wchar_t caption[512] = {};
    GetWindowTextW(window, caption, 512);
    return caption;
}

std::string rectJson(const RECT& rect) {
    return jsonArray(std::vector<std::string>{std::to_string(rect.left), std::to_string(rect.top),
                                              std::to_string(rect.right),
                                              std::to_string(rect.bottom)});
}

JsonObject windowSummary(HWND window) {
    JsonObject summary;
    summary.addNumber("hwnd", handleValue(window))
        .addNumber("pid", processOf(window))
        .addText("class", classOf(window))
        .addText("title", captionOf(window))
        .addFlag("visible", IsWindowVisible(window) != FALSE)
        .addNumber("owner", handleValue(GetWindow(window, GW_OWNER)));
    return summary;
}

HWND findControl(HWND parent, int id) {
    if (HWND direct = GetDlgItem(parent, id); direct != nullptr) {
        return direct;
    }
    for (HWND window : descendantsOf(parent)) {
        if (GetDlgCtrlID(window) == id) {
            return window;
        }
    }
    return nullptr;
}

JsonObject buttonSummary(HWND button) {
    JsonObject summary;
    summary.addNumber("hwnd", handleValue(button))
        .addNumber("id", GetDlgCtrlID(button))
        .addText("text", textOf(button))
        .addFlag("enabled", IsWindowEnabled(button) != FALSE);
    return summary;
}

}  // namespace

LRESULT sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                            &result) == 0) {
        throw CommandError("window " + std::to_string(handleValue(window)) +
                           " did not take message " + std::to_string(message) + " within " +
                           std::to_string(kAnswerTimeoutMs) + " ms (its thread is busy or hung)");
    }
    return static_cast<LRESULT>(result);
}

std::wstring textOf(HWND window) {
    // An ANSI window may report its length in bytes: enough room for the UTF-16 text too.
    const auto length = sendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied =
        sendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring classOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

DWORD processOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

long long handleValue(HWND window) {
    return static_cast<long long>(reinterpret_cast<UINT_PTR>(window));
}

void findWindowCommand(Arguments& args, JsonObject& reply) {
    const auto process = static_cast<DWORD>(args.number());
    const std::wstring title = wideFromUtf8(args.rest());
    for (HWND window : topLevelWindows()) {
        if ((process == 0 || processOf(window) == process) && captionOf(window) == title) {
            reply.addJson("window", windowSummary(window).text());
            return;
        }
    }
    reply.addJson("window", "null");
}

void windowsCommand(Arguments& args, JsonObject& reply) {
    const auto process = static_cast<DWORD>(args.number());
    std::vector<JsonObject> found;
    for (HWND window : topLevelWindows()) {
        if (process == 0 || processOf(window) == process) {
            found.push_back(windowSummary(window));
        }
    }
    reply.addJson("windows", jsonArray(found));
}

void childrenCommand(Arguments& args, JsonObject& reply) {
    const HWND parent = args.window();
    std::vector<JsonObject> found;
    for (HWND window : descendantsOf(parent)) {
        JsonObject child;
        child.addNumber("hwnd", handleValue(window))
            .addNumber("parent", handleValue(GetParent(window)))
            .addNumber("id", GetDlgCtrlID(window))
            .addText("class", classOf(window))
            .addText("text", textOf(window))
            .addFlag("visible", IsWindowVisible(window) != FALSE)
            .addFlag("enabled", IsWindowEnabled(window) != FALSE);
        found.push_back(child);
    }
    reply.addJson("children", jsonArray(found));
}

void controlCommand(Arguments& args, JsonObject& reply) {
    const HWND parent = args.window();
    const auto id = static_cast<int>(args.number());
    const HWND control = findControl(parent, id);
    if (control == nullptr) {
        throw CommandError("window " + std::to_string(handleValue(parent)) +
                           " has no control with id " + std::to_string(id));
    }
    reply.addNumber("hwnd", handleValue(control));
}

// Up-down controls have no id of their own: the one attached to the edit box, or failing
// that the one that sits against its right edge.
void spinnerCommand(Arguments& args, JsonObject& reply) {
    const HWND edit = args.window();
    RECT editRect{};
    GetWindowRect(edit, &editRect);
    HWND nearest = nullptr;
    for (HWND window : descendantsOf(GetParent(edit))) {
        if (GetParent(window) != GetParent(edit) || classOf(window) != UPDOWN_CLASSW) {
            continue;
        }
        if (reinterpret_cast<HWND>(sendWithTimeout(window, UDM_GETBUDDY, 0, 0)) == edit) {
            reply.addNumber("hwnd", handleValue(window));
            return;
        }
        RECT rect{};
        GetWindowRect(window, &rect);
        const bool besideRightEdge = rect.left >= editRect.right - 4 &&
                                     rect.left <= editRect.right + 4 &&
                                     rect.top < editRect.bottom && rect.bottom > editRect.top;
        if (besideRightEdge && nearest == nullptr) {
            nearest = window;
        }
    }
    if (nearest == nullptr) {
        throw CommandError("no up-down control beside edit " + std::to_string(handleValue(edit)));
    }
    reply.addNumber("hwnd", handleValue(nearest));
}

void textCommand(Arguments& args, JsonObject& reply) {
    reply.addText("text", textOf(args.window()));
}

void infoCommand(Arguments& args, JsonObject& reply) {
    const HWND window = args.window();
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    RECT clientRect{};
    GetClientRect(window, &clientRect);
    POINT clientOrigin{0, 0};
    ClientToScreen(window, &clientOrigin);
    // Where the window lies in its parent's client area (the screen for a top-level one).
    RECT inParent = windowRect;
    const HWND parent = GetParent(window);
    const bool child = (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0;
    if (child && parent != nullptr) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&inParent), 2);
    }
    reply.addNumber("hwnd", handleValue(window))
        .addText("class", classOf(window))
        .addNumber("id", child ? GetDlgCtrlID(window) : 0)
        .addNumber("pid", processOf(window))
        .addNumber("parent", handleValue(child ? parent : nullptr))
        .addNumber("owner", handleValue(GetWindow(window, GW_OWNER)))
        .addFlag("enabled", IsWindowEnabled(window) != FALSE)
        .addFlag("visible", IsWindowVisible(window) != FALSE)
        .addNumber("style", static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)))
        .addNumber("exstyle", static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)))
        .addJson("window_rect", rectJson(windowRect))
        .addJson("client_rect", rectJson(clientRect))
        .addJson("client_origin",
                 jsonArray(std::vector<std::string>{std::to_string(clientOrigin.x),
                                                    std::to_string(clientOrigin.y)}))
        .addJson("rect_in_parent", rectJson(inParent));
}

void focusCommand(Arguments& args, JsonObject& reply) {
    const HWND window = args.window();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        throw CommandError("GetGUIThreadInfo failed: " + std::to_string(GetLastError()));
    }
    reply.addNumber("focus", handleValue(info.hwndFocus))
        .addNumber("focus_id", info.hwndFocus != nullptr ? GetDlgCtrlID(info.hwndFocus) : 0)
        .addNumber("active", handleValue(info.hwndActive))
        .addNumber("capture", handleValue(info.hwndCapture))
        .addNumber("foreground", handleValue(GetForegroundWindow()));
}

void comboCommand(Arguments& args, JsonObject& reply) {
    const HWND combo = args.window();
    const auto count = sendWithTimeout(combo, CB_GETCOUNT, 0, 0);
    std::vector<std::string> items;
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = sendWithTimeout(combo, CB_GETLBTEXTLEN, i, 0);
        if (length == CB_ERR) {
            throw CommandError("CB_GETLBTEXTLEN failed for item " + std::to_string(i));
        }
        // Sent as W: under Wine the A form hands UTF-16 bytes across processes.
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        const auto copied =
            sendWithTimeout(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
        items.push_back(jsonString(item));
    }
    reply.addNumber("selected", sendWithTimeout(combo, CB_GETCURSEL, 0, 0))
        .addJson("items", jsonArray(items))
        .addFlag("dropped", sendWithTimeout(combo, CB_GETDROPPEDSTATE, 0, 0) != 0);
}

void messageBoxesCommand(Arguments& args, JsonObject& reply) {
    const auto process = static_cast<DWORD>(args.number());
    std::vector<JsonObject> boxes;
    for (HWND window : topLevelWindows()) {
        if (processOf(window) != process || classOf(window) != L"#32770" ||
            !IsWindowVisible(window)) {
            continue;
        }
        std::vector<JsonObject> buttons;
        for (HWND child : descendantsOf(window)) {
            if (lstrcmpiW(classOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
                buttons.push_back(buttonSummary(child));
            }
        }
        const HWND textControl = GetDlgItem(window, kMessageBoxTextId);
        JsonObject box;
        box.addNumber("hwnd", handleValue(window))
            .addText("title", captionOf(window))
            .addText("text", textControl != nullptr ? textOf(textControl) : std::wstring())
            .addNumber("owner", handleValue(GetWindow(window, GW_OWNER)))
            .addJson("buttons", jsonArray(buttons));
        boxes.push_back(box);
    }
    reply.addJson("boxes", jsonArray(boxes));
}
