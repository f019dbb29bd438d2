#include "timer/clock_tick.h"

void clockTick() {}
