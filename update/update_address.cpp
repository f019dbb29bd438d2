#include "update/update_address.h"

#include "product_constants.h"

Text updateFileAddress() {
    return updateFileAddressOn(CFT_HOME_HOST);
}
