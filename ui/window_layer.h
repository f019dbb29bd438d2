// Windows made from templates, the message loop and the end of the program.
#pragma once

#include <optional>
#include <span>

#include "ui/window_template.h"

// Takes the templates of every window the program can open and makes the program's folder
// the current directory. False when the layer cannot work (the program cannot start).
bool initWindowLayer(std::span<const WindowTemplate* const> templates);

// Creates a window and its controls from its template, runs its created handler, then shows
// it when the template says so. False when the window could not be created.
bool openWindow(ElementId window, std::optional<ElementId> parent, bool modal);

// Styles 1 to 3 switch themed drawing on for every window of the thread; others switch it off.
void applyVisualStyle(int style);

// Dispatches messages until the last window is gone.
void runMessageLoop();

// The routine endProgram (and the end of the message loop) runs exactly once.
void registerCleanup(EventHandler routine);

// Releases the windows, runs the clean-up routine once and ends the process with the code.
// Never returns in the program; the host tests' layer records the code and returns.
void endProgram(int exitCode);
