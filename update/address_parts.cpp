#include "update/address_parts.h"

#include <algorithm>

namespace {

struct SchemeDefaults {
    TextView name;
    std::uint16_t port;
    bool secure;
};

constexpr SchemeDefaults kSchemes[] = {{"http", 80, false}, {"https", 443, true}};

Text lowerAscii(TextView text) {
    Text lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char byte) {
        return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
    });
    return lower;
}

// Decimal 1 to 65535, nothing else.
std::optional<std::uint16_t> portNumber(TextView digits) {
    if (digits.empty() || digits.size() > 5) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char digit : digits) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(digit - '0');
    }
    if (value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// Splits "host", "host:port", "[v6]" or "[v6]:port"; the port text is empty when absent.
std::optional<std::pair<TextView, TextView>> splitHostAndPort(TextView hostAndPort) {
    if (hostAndPort.starts_with('[')) {
        const std::size_t close = hostAndPort.find(']');
        if (close == TextView::npos) {
            return std::nullopt;
        }
        const TextView rest = hostAndPort.substr(close + 1);
        if (!rest.empty() && !rest.starts_with(':')) {
            return std::nullopt;
        }
        return std::pair{hostAndPort.substr(1, close - 1), rest.empty() ? rest : rest.substr(1)};
    }
    const std::size_t colon = hostAndPort.find(':');
    if (colon == TextView::npos) {
        return std::pair{hostAndPort, TextView()};
    }
    return std::pair{hostAndPort.substr(0, colon), hostAndPort.substr(colon + 1)};
}

}  // namespace

std::optional<AddressParts> splitAddress(TextView address) {
    address = address.substr(0, address.find('#'));

    const std::size_t schemeEnd = address.find("://");
    if (schemeEnd == TextView::npos) {
        return std::nullopt;
    }
    AddressParts parts;
    parts.scheme = lowerAscii(address.substr(0, schemeEnd));
    const auto* scheme = std::find_if(std::begin(kSchemes), std::end(kSchemes),
                                      [&parts](const auto& s) { return s.name == parts.scheme; });
    if (scheme == std::end(kSchemes)) {
        return std::nullopt;
    }
    parts.secure = scheme->secure;

    const TextView afterScheme = address.substr(schemeEnd + 3);
    const std::size_t authorityEnd = std::min(afterScheme.find('/'), afterScheme.find('?'));
    TextView authority = afterScheme.substr(0, authorityEnd);
    const TextView path =
        authorityEnd == TextView::npos ? TextView() : afterScheme.substr(authorityEnd);
    parts.path = path.starts_with('/') ? Text(path) : concatText("/", path);

    // The password may itself hold an "@"; the host never does.
    const std::size_t at = authority.rfind('@');
    if (at != TextView::npos) {
        const TextView userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        parts.user = Text(userInfo.substr(0, colon));
        if (colon != TextView::npos) {
            parts.password = Text(userInfo.substr(colon + 1));
        }
        authority = authority.substr(at + 1);
    }

    const auto hostAndPort = splitHostAndPort(authority);
    if (!hostAndPort || hostAndPort->first.empty()) {
        return std::nullopt;
    }
    parts.host = Text(hostAndPort->first);
    if (hostAndPort->second.empty()) {
        parts.port = scheme->port;
    } else {
        const auto port = portNumber(hostAndPort->second);
        if (!port) {
            return std::nullopt;
        }
        parts.port = *port;
    }
    return parts;
}
