// The start and cancel buttons.
#pragma once

void armCountdown();
void cancelCountdown();
