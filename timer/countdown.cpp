#include "timer/countdown.h"

void armCountdown() {}
void cancelCountdown() {}
