// Kept apart from the Win32 message box so that these rules build and run on any system;
// the flag and result values are Win32's own.
#include "support/dialogs.h"

namespace {

constexpr int kSystemModalStyle = 0x1000;  // MB_SYSTEMMODAL
constexpr int kTaskModalStyle = 0x2000;    // MB_TASKMODAL

constexpr int kResultOk = 1;      // IDOK
constexpr int kResultCancel = 2;  // IDCANCEL
constexpr int kResultAbort = 3;   // IDABORT
constexpr int kResultRetry = 4;   // IDRETRY
constexpr int kResultIgnore = 5;  // IDIGNORE
constexpr int kResultYes = 6;     // IDYES
constexpr int kResultNo = 7;      // IDNO

}  // namespace

// The box has no owner, so task-modal is what keeps the program's own windows from taking
// input while it is up.
int messageBoxStyleFor(int style) {
    if ((style & kSystemModalStyle) != 0) {
        return style;
    }
    return style | kTaskModalStyle;
}

int buttonCodeOf(int dialogResult) {
    switch (dialogResult) {
        case kResultOk:
            return kButtonOk;
        case kResultCancel:
            return kButtonCancel;
        case kResultAbort:
            return kButtonAbort;
        case kResultRetry:
            return kButtonRetry;
        case kResultIgnore:
            return kButtonIgnore;
        case kResultYes:
            return kButtonYes;
        case kResultNo:
            return kButtonNo;
        default:
            // 0 when the box could not be shown: read as OK, the harmless answer.
            return kButtonOk;
    }
}
