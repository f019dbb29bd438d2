// What happens when the heap has no block left for a text or a record.
#pragma once

// From now on a failed allocation ends the program with a message instead of an exception.
void installOutOfMemoryHandler();
