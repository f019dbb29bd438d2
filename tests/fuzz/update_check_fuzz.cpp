// The update check on any downloaded body, served from memory: it asks exactly when the three
// bytes after the first marker read as a version above the program's own, and then shows the
// text it read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/program.h"
#include "support/dialogs.h"
#include "support/numbers.h"
#include "support/text.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/reference_search.h"
#include "tests/headless/headless.h"
#include "tests/headless/http.h"
#include "update/check_for_update.h"

namespace {

// "晨枫定时器" in GBK, as the program sets it at start-up; this build's literals are UTF-8.
constexpr TextView kProgramNameInGbk = "\xB3\xBF\xB7\xE3\xB6\xA8\xCA\xB1\xC6\xF7";

bool announcesNewerVersion(TextView text) {
    const Text marker = Text(kProgramNameInGbk) + "v";
    const int position = referenceFind(text, marker, 1, true);
    if (position < 1) {
        return false;
    }
    const std::size_t versionAt = static_cast<std::size_t>(position) - 1 + marker.size();
    const TextView version = text.substr(std::min(versionAt, text.size()), 3);
    return toNumber(version) > kProgramVersion;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes body(data, data + size);
    headless::reset();
    headless::serveHttpBody(body);
    headless::answerMessageBoxes({kButtonYes});
    resetGlobals();
    programVersion = kProgramVersion;
    programName = kProgramNameInGbk;

    checkForUpdate();

    fuzzCheck(headless::httpRequests().size() == 1, "one download per check");
    const std::string received(body.begin(), body.end());
    fuzzCheck(updateText == received.substr(0, received.find('\0')),
              "the update text is the body up to its first zero byte");
    const bool asks = announcesNewerVersion(updateText);
    const auto& boxes = headless::messageBoxes();
    fuzzCheck(boxes.size() == (asks ? 1U : 0U),
              "asks once exactly when a newer version is announced");
    if (asks) {
        // Both literals come from this build, so they agree in whichever encoding it uses.
        fuzzCheck(boxes[0].message == updateText + "\r\n\r\n是否更新？",
                  "the question shows the whole text read");
        fuzzCheck(boxes[0].style == kStyleQuestion, "the question has Yes and No");
    }
    const std::vector<Text> expectedPages =
        asks ? std::vector<Text>{Text(homePageAddress)} : std::vector<Text>{};
    fuzzCheck(headless::openedPages() == expectedPages, "Yes opens the home page, once");
    return 0;
}
