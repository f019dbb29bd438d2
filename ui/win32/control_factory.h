// Child windows made from control records, and the messages they send their window.
#pragma once

#include <windows.h>

#include "ui/win32/window_records.h"

bool registerControlClasses();

// Creates the controls in template order, the first on top of the others.
void createControls(WindowRecord& window);

// Notifications from the controls (the spinners' steps).
LRESULT handleControlNotify(WindowRecord& window, const NMHDR& header);

// The colours of a read-only edit box; null leaves the system's.
HBRUSH staticColour(HWND control, HDC dc);
