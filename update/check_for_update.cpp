#include "update/check_for_update.h"

#include <optional>

#include "app/globals.h"
#include "support/dialogs.h"
#include "support/numbers.h"
#include "support/text.h"
#include "update/http_get.h"
#include "update/update_address.h"

namespace {

// The whole downloaded text doubles as the release notes the user reads before answering.
void offerUpdate() {
    const Text message = concatText(updateText, "\r\n\r\n是否更新？");
    if (messageBox(message, kStyleQuestion, "检测到新版本：") == kButtonYes) {
        openWebPage(homePageAddress);
    }
}

}  // namespace

void checkForUpdate() {
    updateText = bytesToText(httpGet(updateFileAddress()));

    const Text marker = concatText(programName, "v");
    const int position = findText(updateText, marker, std::nullopt, true);
    // A text without the marker is no update file (an error page, a captive portal's login
    // form): it announces nothing, whatever bytes happen to stand where a version would.
    if (position < 1) {
        return;
    }
    const int start = toWholeNumber(static_cast<double>(position) + textLength(marker));
    const Text versionText = midText(updateText, start, 3);
    const float latestVersion = toNumber(versionText);
    // Both sides single precision, so an announced 1.2 equals programVersion and stays quiet.
    if (latestVersion > programVersion) {
        offerUpdate();
    }
}
