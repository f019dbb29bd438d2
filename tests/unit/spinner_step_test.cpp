// One arrow step of the hours and minutes boxes.
#include <gtest/gtest.h>

#include "ui/spinner_step.h"

namespace {

struct StepCase {
    const char* name;
    const char* content;
    int bound1;
    int bound2;
    bool up;
    int expected;
};

TEST(SpinnerStepTest, StepsByOneAndWrapsToTheOtherBound) {
    const StepCase cases[] = {
        {"hours up", "0", 0, 22, true, 1},
        {"hours up to the top", "21", 0, 22, true, 22},
        {"hours up past the top", "22", 0, 22, true, 0},
        {"hours down", "22", 0, 22, false, 21},
        {"hours down to the bottom", "1", 0, 22, false, 0},
        {"hours down past the bottom", "0", 0, 22, false, 22},
        {"minutes up past the top", "59", 0, 59, true, 0},
        {"minutes down past the bottom", "0", 0, 59, false, 59},
        {"bounds given high first, up", "22", 22, 0, true, 0},
        {"bounds given high first, down", "0", 22, 0, false, 22},
        {"range not starting at 0, up", "9", 5, 9, true, 5},
        {"range not starting at 0, down", "5", 5, 9, false, 9},
    };
    for (const StepCase& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(spinnerStep(test.content, test.bound1, test.bound2, test.up), test.expected);
    }
}

TEST(SpinnerStepTest, ContentOutsideTheRangeOrNotANumberStillGivesAValueInRange) {
    const StepCase cases[] = {
        {"empty counts as 0, up", "", 0, 22, true, 1},
        {"empty counts as 0, down", "", 0, 22, false, 22},
        {"letters count as 0", "ab", 0, 59, true, 1},
        {"only the leading digits count", "7x", 0, 59, true, 8},
        {"leading blank skipped", " 5", 0, 59, false, 4},
        {"above the range, up", "99", 0, 22, true, 0},
        {"above the range, down", "99", 0, 22, false, 22},
        {"largest integer, up, does not overflow", "2147483647", 0, 22, true, 0},
        {"least integer, down, does not overflow", "-2147483648", 0, 22, false, 22},
    };
    for (const StepCase& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(spinnerStep(test.content, test.bound1, test.bound2, test.up), test.expected);
    }
}

}  // namespace
