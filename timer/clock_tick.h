// The one-second tick of an armed countdown and the power action it ends in.
#pragma once

void clockTick();
