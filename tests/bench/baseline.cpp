// The yardstick of the benchmarks: the least a Win32 program can do that still counts as a
// program with a window. One plain top-level window, a message loop, and the end when the
// window is closed; built with the same options as the timer, so that whatever the timer
// costs beyond these figures is its own.
#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    // A system colour index + 1 stands for that colour's brush.
    windowClass.hbrBackground =
        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);  // NOLINT(performance-no-int-to-ptr)
    windowClass.lpszClassName = "BenchBaselineWindow";
    if (RegisterClassExA(&windowClass) == 0) {
        return 1;
    }
    // The timer's outer size, centred as the timer is.
    constexpr int kWidth = 355;
    constexpr int kHeight = 250;
    const HWND window = CreateWindowExA(
        0, windowClass.lpszClassName, "Baseline", WS_OVERLAPPEDWINDOW,
        (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2,
        kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
