// The update check at start-up, with the download served from memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "app/program.h"
#include "support/dialogs.h"
#include "tests/headless/headless.h"
#include "tests/headless/http.h"
#include "ui/timer_window.h"

namespace {

using namespace std::string_literals;

constexpr TextView kUpdateFileAddress = "http://" CFT_HOME_HOST "/soft/mirvo/mirvo.txt";

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class UpdateCheckTest : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
};

struct DownloadCase {
    const char* name;
    std::string body;
    Text shownText;  // what updateText holds, and the box shows when it asks
    bool asks;
};

TEST_F(UpdateCheckTest, AsksOnlyWhenTheNumberAfterTheMarkerIsGreaterThanOwnVersion) {
    const std::vector<DownloadCase> cases = {
        {"newer", "晨枫定时器v1.3 发布了\r\n修正若干问题", "晨枫定时器v1.3 发布了\r\n修正若干问题",
         true},
        {"capital V", "最新版本：晨枫定时器V1.3", "最新版本：晨枫定时器V1.3", true},
        {"equal", "晨枫定时器v1.2", "晨枫定时器v1.2", false},
        {"only three bytes of 1.21", "晨枫定时器v1.21", "晨枫定时器v1.21", false},
        {"1.10 reads 1.1", "晨枫定时器v1.10", "晨枫定时器v1.10", false},
        {"10.0 reads 10", "晨枫定时器v10.0", "晨枫定时器v10.0", true},
        {"lone 2 at the very end", "说明 晨枫定时器v2", "说明 晨枫定时器v2", true},
        {"leading number of 2 x", "晨枫定时器v2 x", "晨枫定时器v2 x", true},
        {"letters after the marker", "晨枫定时器vabc", "晨枫定时器vabc", false},
        {"first of two markers", "晨枫定时器v1.0 旧\n晨枫定时器v1.9 新",
         "晨枫定时器v1.0 旧\n晨枫定时器v1.9 新", false},
        {"zero byte ends the text", "晨枫定时器v1.3 新\0晨枫定时器v1.0 旧"s, "晨枫定时器v1.3 新",
         true},
        {"marker after a zero byte", "公告\0晨枫定时器v1.3"s, "公告", false},
        {"empty body", "", "", false},
        // Bytes 10 to 12 read 2.0: the error page of a proxy must not raise the question.
        {"no marker", "<a href=/2.0>moved</a>", "<a href=/2.0>moved</a>", false},
    };
    for (const DownloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        headless::reset();
        headless::serveHttpBody(bytesOf(c.body));

        runProgram();

        EXPECT_EQ(headless::httpRequests(), std::vector<Text>{Text(kUpdateFileAddress)});
        EXPECT_EQ(updateText, c.shownText);
        if (c.asks) {
            ASSERT_EQ(headless::messageBoxes().size(), 1U);
            EXPECT_EQ(headless::messageBoxes()[0].message, c.shownText + "\r\n\r\n是否更新？");
            EXPECT_EQ(headless::messageBoxes()[0].title, "检测到新版本：");
            EXPECT_EQ(headless::messageBoxes()[0].style, 68);
        } else {
            EXPECT_TRUE(headless::messageBoxes().empty());
        }
        EXPECT_TRUE(headless::openedPages().empty());
    }
}

TEST_F(UpdateCheckTest, YesOpensTheHomePageOnceAndNoDoesNothingElse) {
    struct AnswerCase {
        int answer;
        std::vector<Text> openedPages;
    };
    const std::vector<AnswerCase> cases = {
        {kButtonYes, {Text(homePageAddress)}},
        {kButtonNo, {}},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.answer);
        headless::reset();
        headless::serveHttpBody(bytesOf("晨枫定时器v1.3"));
        headless::answerMessageBoxes({c.answer});

        EXPECT_EQ(runProgram(), 0);

        EXPECT_EQ(headless::messageBoxes().size(), 1U);
        EXPECT_EQ(headless::openedPages(), c.openedPages);
        // Start-up goes on either way.
        EXPECT_TRUE(headless::element(TimerWindow).visible);
        EXPECT_FALSE(headless::exitCode().has_value());
    }
}

TEST_F(UpdateCheckTest, RunsOnceAtStartWhileTheTimerWindowIsAlreadyShown) {
    bool timerWindowShown = false;
    headless::serveHttp([&timerWindowShown](TextView /*address*/) {
        timerWindowShown = headless::isOpen(TimerWindow) && headless::element(TimerWindow).visible;
        return Bytes();
    });

    runProgram();

    EXPECT_EQ(headless::httpRequests().size(), 1U);
    EXPECT_TRUE(timerWindowShown);
}

}  // namespace
