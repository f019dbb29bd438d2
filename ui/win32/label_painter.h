// How labels draw themselves: background, picture, then caption.
#pragma once

#include <windows.h>

#include "ui/win32/window_records.h"

void paintLabel(const ControlRecord& label, HDC dc);
void paintTransparentLabel(const ControlRecord& label, HDC dc);

// Decodes the label's JPEG resource into its picture; a picture that cannot be decoded
// leaves the label plain.
void loadLabelPicture(ControlRecord& label, int resource);
