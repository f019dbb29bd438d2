// What the handlers may do with the windows and controls of the open windows, naming them
// by their template ids.
#pragma once

#include "support/text.h"
#include "ui/window_template.h"

// A window's title or a label's caption, shown at once.
void setCaption(ElementId element, TextView text);

// Disabled controls are greyed and take no input; a spin box's arrows follow their box.
void setDisabled(ElementId control, bool disabled);

// The content of an edit box.
Text contentOf(ElementId editBox);

// The text the closed drop-down list shows (the selected item's), empty when none.
Text shownTextOf(ElementId list);

// The 0-based index of the selected item, -1 when none.
int selectionOf(ElementId list);

// Starts, restarts or stops a timer: a negative interval counts as 0 (stopped); an interval
// equal to the current one changes nothing, so a running timer keeps its phase.
void setInterval(ElementId timer, int milliseconds);
