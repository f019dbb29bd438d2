#include "support/dialogs.h"

#include <gtest/gtest.h>

namespace {

constexpr int kSystemModal = 4096;
constexpr int kTaskModal = 8192;

TEST(MessageBoxStyleFor, MakesTheBoxTaskModalUnlessItIsSystemModal) {
    struct Case {
        int style;
        int expected;
    };
    const Case cases[] = {
        {kStyleError, kStyleError + kTaskModal},
        {kStyleInformation, kStyleInformation + kTaskModal},
        {kStyleQuestion, kStyleQuestion + kTaskModal},
        {0, kTaskModal},
        {kSystemModal, kSystemModal},
        {kSystemModal + kStyleQuestion, kSystemModal + kStyleQuestion},
        {kTaskModal + kStyleError, kTaskModal + kStyleError},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.style);
        EXPECT_EQ(messageBoxStyleFor(test.style), test.expected);
    }
}

TEST(ButtonCodeOf, NumbersTheButtonsFromZeroAndReadsAFailedBoxAsOk) {
    struct Case {
        int dialogResult;
        int expected;
    };
    const Case cases[] = {
        {1, kButtonOk},     {2, kButtonCancel}, {3, kButtonAbort}, {4, kButtonRetry},
        {5, kButtonIgnore}, {6, kButtonYes},    {7, kButtonNo},    {0, kButtonOk},
        {-1, kButtonOk},    {11, kButtonOk},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.dialogResult);
        EXPECT_EQ(buttonCodeOf(test.dialogResult), test.expected);
    }
}

}  // namespace
