#include "update/check_for_update.h"

void checkForUpdate() {}
