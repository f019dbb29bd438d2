// Message boxes and the browser, the two ways the program talks to the user outside its window.
#pragma once

#include "support/text.h"

// Button codes returned by messageBox.
enum ButtonCode : int {
    kButtonOk = 0,
    kButtonCancel = 1,
    kButtonAbort = 2,
    kButtonRetry = 3,
    kButtonIgnore = 4,
    kButtonYes = 5,
    kButtonNo = 6,
};

// Styles the program uses (MB_ICONSTOP, MB_ICONINFORMATION, with MB_YESNO).
constexpr int kStyleError = 16;
constexpr int kStyleInformation = 64;
constexpr int kStyleQuestion = 68;

// Shows a box with no owner, task-modal unless the style is system-modal, and returns the
// button that closed it (kButtonOk when the box could not be shown).
int messageBox(TextView message, int style, TextView title = "信息：");

// Hands the address to the shell's default handler; failures are not reported.
void openWebPage(TextView address);

// The pure halves of messageBox, shared by every implementation of it.
int messageBoxStyleFor(int style);
int buttonCodeOf(int dialogResult);
