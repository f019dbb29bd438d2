#include "support/dialogs.h"

#include <windows.h>
#include <shellapi.h>

int messageBox(TextView message, int style, TextView title) {
    const Text text(message);
    const Text caption(title);
    const int result = MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                                   static_cast<UINT>(messageBoxStyleFor(style)));
    return buttonCodeOf(result);
}

void openWebPage(TextView address) {
    // Old browsers took the address in their running window; with none the shell picks.
    HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
    const Text target(address);
    ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
