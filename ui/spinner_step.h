// What one arrow step makes of a spin box's content.
#pragma once

#include "support/text.h"

// The content read by its leading digits (none: 0), one up or down, wrapping to the other
// bound when it leaves the range; the bounds may come in either order.
int spinnerStep(TextView content, int bound1, int bound2, bool up);
