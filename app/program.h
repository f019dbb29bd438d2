// The life of the program: start, the hidden start-up window and the end.
#pragma once

#include "ui/window_template.h"

inline constexpr ElementId StartupWindow = 0x52010034;

// Starts the program and returns its exit code once the message loop has ended:
// -1 when the windows could not be opened.
int runProgram();

void onStartupWindowCreated();
void onTimerWindowDestroyed();

// The product's version, as the caption shows it and the update check compares it.
inline constexpr float kProgramVersion = 1.2F;
