// Start-up and end of the program, run against the in-memory window layer.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "app/globals.h"
#include "app/program.h"
#include "tests/headless/headless.h"
#include "ui/timer_window.h"

namespace {

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { headless::reset(); }
};

TEST_F(ProgramTest, StartsWithHiddenStartupWindowAndCaptionedTimerWindow) {
    EXPECT_EQ(runProgram(), 0);

    EXPECT_TRUE(headless::isOpen(StartupWindow));
    EXPECT_FALSE(headless::element(StartupWindow).visible);
    EXPECT_TRUE(headless::element(TimerWindow).visible);
    EXPECT_EQ(headless::element(TimerWindow).caption, "晨枫定时器 v1.2");
    EXPECT_TRUE(headless::element(按钮2).disabled);
    EXPECT_FALSE(headless::element(按钮1).disabled);
    EXPECT_EQ(headless::lastVisualStyle(), 1);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(programVersion), 0x3F99999AU);
    EXPECT_EQ(programName, "晨枫定时器");
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(ProgramTest, ClosingTimerWindowEndsWithZeroAndCleansUpOnce) {
    runProgram();
    headless::closeWindow(TimerWindow);

    EXPECT_EQ(headless::exitCode(), 0);
    EXPECT_EQ(headless::cleanupRuns(), 1);
    EXPECT_TRUE(programName.empty());
    EXPECT_FALSE(headless::isOpen(StartupWindow));
}

TEST_F(ProgramTest, WindowsThatCannotOpenEndStartupWithErrorBox) {
    headless::failWindowCreation(true);

    EXPECT_EQ(runProgram(), -1);

    ASSERT_EQ(headless::messageBoxes().size(), 1U);
    EXPECT_EQ(headless::messageBoxes()[0].title, "错误：");
    EXPECT_EQ(headless::messageBoxes()[0].style, 16);
    // The clean-up routine is not run on this path.
    EXPECT_EQ(headless::cleanupRuns(), 0);
    EXPECT_FALSE(headless::exitCode().has_value());
}

}  // namespace
