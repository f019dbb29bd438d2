// The in-memory download behind the update check.
#include "tests/headless/http.h"

#include <utility>

#include "product_constants.h"
#include "update/http_get.h"
#include "update/update_address.h"

namespace headless {

namespace {

struct HttpState {
    std::function<Bytes(TextView)> server;
    std::vector<Text> requests;
};

HttpState& http() {
    static HttpState instance;
    return instance;
}

}  // namespace

void serveHttpBody(Bytes body) {
    http().server = [body = std::move(body)](TextView /*address*/) { return body; };
}

void serveHttp(std::function<Bytes(TextView address)> server) {
    http().server = std::move(server);
}

const std::vector<Text>& httpRequests() {
    return http().requests;
}

void resetHttp() {
    http() = HttpState();
}

}  // namespace headless

// The shipped program's address. Defined here rather than by linking the shipped file, because
// nothing else in this library would make the linker pick that file up after the handlers.
Text updateFileAddress() {
    return updateFileAddressOn(CFT_HOME_HOST);
}

Bytes httpGet(TextView address) {
    auto& state = headless::http();
    state.requests.emplace_back(address);
    return state.server ? state.server(address) : Bytes();
}
