// The one download the program makes: a synchronous HTTP GET on the UI thread.
#pragma once

#include "support/text.h"

// The body of whatever the server answered, error pages included, as far as it could be
// read; empty when the address is empty or unusable, or nothing could be fetched.
// Nothing is reported: the caller cannot do anything about a failed download.
Bytes httpGet(TextView address);
