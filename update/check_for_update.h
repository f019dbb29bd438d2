// Asks the product's web site once per start whether a newer version exists.
#pragma once

void checkForUpdate();
