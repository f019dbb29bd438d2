// Where the update file lives.
#pragma once

#include "support/text.h"

// The update file's address on the given host ("name" or "name:port").
inline Text updateFileAddressOn(TextView host) {
    return concatText("http://", host, "/soft/mirvo/mirvo.txt");
}

// The address the update check fetches: the product's web site in the shipped program.
Text updateFileAddress();
