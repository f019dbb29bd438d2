// The download as the host tests see it: the test decides what the server answers, and the
// addresses the program asked for are recorded.
#pragma once

#include <functional>
#include <vector>

#include "support/text.h"

namespace headless {

// Every later download gives this body (empty: nothing could be read).
void serveHttpBody(Bytes body);
// Every later download runs this instead, so a test can look at the program while it waits.
void serveHttp(std::function<Bytes(TextView address)> server);
// The addresses passed to httpGet, in order.
const std::vector<Text>& httpRequests();

// No requests, and every download gives an empty body.
void resetHttp();

}  // namespace headless
