// An HTTP address taken apart into what a connection and a request need.
#pragma once

#include <cstdint>
#include <optional>

#include "support/text.h"

struct AddressParts {
    Text scheme;  // lower case: "http" or "https"
    Text host;    // without the brackets of an IPv6 literal
    std::uint16_t port = 0;
    Text path;  // from the first "/" on, query included; "/" when the address has none
    Text user;
    Text password;
    bool secure = false;

    bool operator==(const AddressParts&) const = default;
};

// Everything from the first "#" on is dropped. No value when the address has no
// "scheme://", a scheme other than http or https, no host, or a port that is not a number
// from 1 to 65535; an empty port means the scheme's default.
std::optional<AddressParts> splitAddress(TextView address);
