// The start and cancel buttons.
#pragma once

#include "support/date_time.h"

void armCountdown();
void cancelCountdown();

// The local date and time that the status line of the armed countdown names: the clock
// tick fires once the local clock is at or past it. Kept as a calendar moment, not only as
// hour and minute, so that a late tick (after sleep, a clock set forward, a daylight-saving
// jump) fires at once instead of waiting for the target hour to come round again.
extern DateTime countdownTarget;
