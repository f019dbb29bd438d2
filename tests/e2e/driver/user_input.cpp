// Commands that act on the program as a user would: clicks, keys, the mouse, closing.
#include <array>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/driver/commands.h"
#include "tests/e2e/driver/wide_text.h"

namespace {

struct NamedKey {
    std::string_view name;
    WORD key;
};

constexpr std::array kNamedKeys{
    NamedKey{"esc", VK_ESCAPE},  NamedKey{"tab", VK_TAB},      NamedKey{"enter", VK_RETURN},
    NamedKey{"space", VK_SPACE}, NamedKey{"back", VK_BACK},    NamedKey{"delete", VK_DELETE},
    NamedKey{"left", VK_LEFT},   NamedKey{"right", VK_RIGHT},  NamedKey{"up", VK_UP},
    NamedKey{"down", VK_DOWN},   NamedKey{"home", VK_HOME},    NamedKey{"end", VK_END},
    NamedKey{"alt", VK_MENU},    NamedKey{"ctrl", VK_CONTROL}, NamedKey{"shift", VK_SHIFT},
    NamedKey{"f1", VK_F1},       NamedKey{"f4", VK_F4},        NamedKey{"f10", VK_F10},
};

// A key by name (esc, f4, ...), as one letter or digit, or as a virtual-key number.
WORD keyOf(const std::string& name) {
    for (const NamedKey& named : kNamedKeys) {
        if (named.name == name) {
            return named.key;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    char* end = nullptr;
    const long value = std::strtol(name.c_str(), &end, 0);
    if (end != name.c_str() && *end == '\0' && value > 0 && value < 256) {
        return static_cast<WORD>(value);
    }
    throw CommandError("unknown key: " + name);
}

bool isExtendedKey(WORD key) {
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_DELETE:
        case VK_INSERT:
        case VK_PRIOR:
        case VK_NEXT:
            return true;
        default:
            return false;
    }
}

// Key-message lParam: repeat count 1, the scan code, the extended flag and, for a release,
// the previous-state and transition bits.
LPARAM keyFlags(WORD key, bool release) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    LPARAM flags = 1 | static_cast<LPARAM>(scan << 16);
    if (isExtendedKey(key)) {
        flags |= 1 << 24;
    }
    if (release) {
        flags |= static_cast<LPARAM>(0xC0000000u);
    }
    return flags;
}

// Keys go where the program's focus is: the focused control when it belongs to this window,
// else the window itself (as after a button that had the focus disabled itself).
HWND keyTarget(HWND window) {
    const HWND root = GetAncestor(window, GA_ROOT);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(root, nullptr), &info) &&
        info.hwndFocus != nullptr && (info.hwndFocus == root || IsChild(root, info.hwndFocus))) {
        return info.hwndFocus;
    }
    return root;
}

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageW(window, message, wParam, lParam)) {
        throw CommandError("PostMessage failed: " + std::to_string(GetLastError()));
    }
}

// What a mouse could not do either: press a hidden or disabled control, or one in a window
// disabled by a modal box.
void requireUsable(HWND control, const std::string& what) {
    if (!IsWindowVisible(control)) {
        throw CommandError(what + " " + std::to_string(handleValue(control)) + " is not visible");
    }
    if (!IsWindowEnabled(control)) {
        throw CommandError(what + " " + std::to_string(handleValue(control)) + " is disabled");
    }
    const HWND root = GetAncestor(control, GA_ROOT);
    if (root != control && !IsWindowEnabled(root)) {
        throw CommandError("the window of " + what + " " + std::to_string(handleValue(control)) +
                           " is disabled (a modal box is open?)");
    }
}

INPUT keyInput(WORD key, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags =
        (release ? KEYEVENTF_KEYUP : 0) | (isExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void sendInputs(std::vector<INPUT>& inputs) {
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        throw CommandError("SendInput took " + std::to_string(sent) + " of " +
                           std::to_string(inputs.size()) + " events");
    }
}

}  // namespace

void clickCommand(Arguments& args, JsonObject& /*reply*/) {
    const HWND button = args.window();
    requireUsable(button, "button");
    // Posted: a click that opens a modal box would keep a sender waiting until it closes.
    post(button, BM_CLICK, 0, 0);
}

void keyCommand(Arguments& args, JsonObject& reply) {
    const HWND target = keyTarget(args.window());
    const WORD key = keyOf(args.word());
    const std::string phase = args.empty() ? "press" : args.word();
    if (phase != "down" && phase != "up" && phase != "press") {
        throw CommandError("key phase must be down, up or press, not " + phase);
    }
    const bool system = key == VK_MENU || key == VK_F10;
    if (phase != "up") {
        post(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, keyFlags(key, false));
    }
    if (phase != "down") {
        post(target, system ? WM_SYSKEYUP : WM_KEYUP, key, keyFlags(key, true));
    }
    reply.addNumber("target", handleValue(target));
}

void typeCommand(Arguments& args, JsonObject& reply) {
    const HWND target = keyTarget(args.window());
    for (const wchar_t c : wideFromUtf8(args.rest())) {
        post(target, WM_CHAR, c, 1);
    }
    reply.addNumber("target", handleValue(target));
}

// Real input through the desktop's input queue: it goes to the foreground window, with the
// modifier keys' state as the program sees it (which posted keys cannot fake).
void inputKeysCommand(Arguments& args, JsonObject& /*reply*/) {
    std::vector<WORD> keys;
    std::string combination = args.word();
    for (std::size_t start = 0; start <= combination.size();) {
        const std::size_t plus = combination.find('+', start);
        const std::size_t end = plus == std::string::npos ? combination.size() : plus;
        keys.push_back(keyOf(combination.substr(start, end - start)));
        start = end + 1;
    }
    std::vector<INPUT> inputs;
    for (const WORD key : keys) {
        inputs.push_back(keyInput(key, false));
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        inputs.push_back(keyInput(*key, true));
    }
    sendInputs(inputs);
}

void inputClickCommand(Arguments& args, JsonObject& /*reply*/) {
    const auto x = static_cast<LONG>(args.number());
    const auto y = static_cast<LONG>(args.number());
    // Absolute input is in 0..65535 across the primary screen (the virtual desktop).
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(3);
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>((x * 65535LL + width / 2) / (width - 1));
        input.mi.dy = static_cast<LONG>((y * 65535LL + height / 2) / (height - 1));
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    sendInputs(inputs);
}

void mouseCommand(Arguments& args, JsonObject& /*reply*/) {
    const HWND window = args.window();
    const std::string phase = args.word();
    const auto x = static_cast<int>(args.number());
    const auto y = static_cast<int>(args.number());
    if (phase == "down") {
        post(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    } else if (phase == "up") {
        post(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    } else {
        throw CommandError("mouse phase must be down or up, not " + phase);
    }
}

void spinCommand(Arguments& args, JsonObject& /*reply*/) {
    const HWND spinner = args.window();
    const std::string direction = args.word();
    if (direction != "up" && direction != "down") {
        throw CommandError("spin direction must be up or down, not " + direction);
    }
    requireUsable(spinner, "up-down control");
    RECT client{};
    GetClientRect(spinner, &client);
    const int x = client.right / 2;
    const int y = direction == "up" ? client.bottom / 4 : client.bottom * 3 / 4;
    post(spinner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    // Released well before the control's auto-repeat would start: exactly one step.
    Sleep(30);
    post(spinner, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void selectCommand(Arguments& args, JsonObject& /*reply*/) {
    const HWND combo = args.window();
    const auto index = args.number();
    requireUsable(combo, "combo box");
    if (sendWithTimeout(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != index) {
        throw CommandError("the combo box has no item " + std::to_string(index));
    }
    // CB_SETCURSEL notifies nobody; a user's choice does.
    post(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(combo));
}

void pressCommand(Arguments& args, JsonObject& /*reply*/) {
    const HWND box = args.window();
    const auto id = static_cast<int>(args.number());
    const HWND button = GetDlgItem(box, id);
    if (button == nullptr) {
        throw CommandError("the box has no button with id " + std::to_string(id));
    }
    requireUsable(button, "button");
    post(button, BM_CLICK, 0, 0);
}

void closeCommand(Arguments& args, JsonObject& /*reply*/) {
    const HWND window = args.window();
    const std::string how = args.empty() ? "syscommand" : args.word();
    if (how == "syscommand") {
        // What the close box, Alt+F4 and the system menu send.
        post(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (how == "message") {
        post(window, WM_CLOSE, 0, 0);
    } else {
        throw CommandError("close takes message or syscommand, not " + how);
    }
}

void foregroundCommand(Arguments& args, JsonObject& reply) {
    const HWND window = args.window();
    SetForegroundWindow(window);
    reply.addFlag("foreground", GetForegroundWindow() == window);
}

// Sent messages are taken before posted ones, each time the program's thread looks at its
// queue; so every round trip here lets it take one more of the messages posted before.
void syncCommand(Arguments& args, JsonObject& /*reply*/) {
    const HWND window = args.window();
    const long long rounds = args.empty() ? 5 : args.number();
    for (long long i = 0; i < rounds; ++i) {
        sendWithTimeout(window, WM_NULL, 0, 0);
    }
}
