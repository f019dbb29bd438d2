// The home link over the right part of the footer.
#include <gtest/gtest.h>

#include <vector>

#include "app/globals.h"
#include "tests/unit/timer_window_fixture.h"

namespace {

using HomeLinkTest = TimerWindowTest;

TEST_F(HomeLinkTest, EveryPressOpensTheHomePageAndGoesOnToTheLink) {
    // Where the press lands and which keys are held make no difference.
    EXPECT_EQ(headless::pressLeftButton(透明标签1, 0, 0, 0), std::nullopt);
    EXPECT_EQ(headless::pressLeftButton(透明标签1, 143, 23, 1 | 2 | 4), std::nullopt);

    EXPECT_EQ(headless::openedPages(),
              (std::vector<Text>{Text(homePageAddress), Text(homePageAddress)}));
    EXPECT_TRUE(headless::messageBoxes().empty());
}

}  // namespace
