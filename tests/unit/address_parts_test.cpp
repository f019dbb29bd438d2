// Taking a download address apart for the connection and the request.
#include "update/address_parts.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct AddressCase {
    const char* address;
    std::optional<AddressParts> parts;
};

AddressParts http(Text host, std::uint16_t port, Text path, Text user = {}, Text password = {}) {
    return {.scheme = "http",
            .host = std::move(host),
            .port = port,
            .path = std::move(path),
            .user = std::move(user),
            .password = std::move(password)};
}

TEST(SplitAddress, GivesConnectionAndRequestPartsWithTheSchemesDefaultPort) {
    AddressParts secure = http("example.com", 443, "/a");
    secure.scheme = "https";
    secure.secure = true;

    const std::vector<AddressCase> cases = {
        {"http://www.chenfeng-timer.example/soft/mirvo/mirvo.txt",
         http("www.chenfeng-timer.example", 80, "/soft/mirvo/mirvo.txt")},
        {"http://127.0.0.1:8123/soft/mirvo/mirvo.txt",
         http("127.0.0.1", 8123, "/soft/mirvo/mirvo.txt")},
        {"HTTP://Example.COM", http("Example.COM", 80, "/")},
        {"http://example.com:/x", http("example.com", 80, "/x")},
        {"http://example.com?v=1", http("example.com", 80, "/?v=1")},
        {"http://example.com/a?b=c/d#top#more", http("example.com", 80, "/a?b=c/d")},
        {"http://example.com#/not/a/path", http("example.com", 80, "/")},
        {"http://me:p@ss@example.com:8080/", http("example.com", 8080, "/", "me", "p@ss")},
        {"http://me@example.com/", http("example.com", 80, "/", "me", "")},
        {"http://[::1]:8123/f", http("::1", 8123, "/f")},
        {"https://example.com/a", secure},
        // Nothing a connection could be opened for.
        {"", std::nullopt},
        {"www.example.com/soft", std::nullopt},
        {"ftp://example.com/", std::nullopt},
        {"http://", std::nullopt},
        {"http:///path", std::nullopt},
        {"http://me@/", std::nullopt},
        {"http://example.com:http/", std::nullopt},
        {"http://example.com:0/", std::nullopt},
        {"http://example.com:65536/", std::nullopt},
        {"http://[::1/", std::nullopt},
        {"#http://example.com/", std::nullopt},
    };
    for (const AddressCase& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(splitAddress(c.address), c.parts);
    }
}

}  // namespace
