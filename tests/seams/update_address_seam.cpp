// The test build's update address: the product's web site, unless CFT_TEST_UPDATE_HOST names
// another host ("127.0.0.1:8123"), so that the end-to-end tests serve the update file
// themselves. The home page address is not steered: the tests see it exactly as shipped.
#include <windows.h>

#include "product_constants.h"
#include "update/update_address.h"

Text updateFileAddress() {
    // With no buffer the call gives the size the value needs, its terminating zero included.
    const DWORD needed = GetEnvironmentVariableA("CFT_TEST_UPDATE_HOST", nullptr, 0);
    if (needed <= 1) {
        return updateFileAddressOn(CFT_HOME_HOST);
    }
    Text host(needed, '\0');
    const DWORD length = GetEnvironmentVariableA("CFT_TEST_UPDATE_HOST", host.data(), needed);
    host.resize(length < needed ? length : 0);
    return updateFileAddressOn(host);
}
