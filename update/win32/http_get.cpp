// The download through WinINet, synchronous on the UI thread that waits for it.
#include "update/http_get.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include "update/address_parts.h"
#include "update/chunk_size.h"
#include "update/reading_budget.h"

namespace {

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr TextView kExtraHeaders = "Accept: */*\r\n\r\n";

// Without these a stalled server would hold the start-up for minutes. Windows honours them
// on the internet handle already, Wine only on the connection and the request, so every
// handle gets them.
constexpr DWORD kWaitLimitMilliseconds = 5000;

void limitWaits(HINTERNET handle) {
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD limit = kWaitLimitMilliseconds;
        InternetSetOptionA(handle, option, &limit, sizeof limit);
    }
}

// The program's one internet handle, opened by the first request. The static owner closes
// it when the C runtime runs its exit handlers; a program that ends through ExitProcess
// leaves it to the system, which releases it with the process.
HINTERNET internetHandle() {
    static InternetHandle handle;
    if (!handle) {
        handle.reset(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        if (handle) {
            limitWaits(handle.get());
        }
    }
    return handle.get();
}

// The program names no proxy of its own: access type 0 and no proxy name on the internet
// handle, no proxy credentials on the connection. Failures change nothing and are ignored.
void clearProxySettings(HINTERNET internet, HINTERNET connection) {
    INTERNET_PROXY_INFO noProxy{};
    InternetSetOptionA(internet, INTERNET_OPTION_PROXY, &noProxy, sizeof noProxy);
    char empty[] = "";
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, empty, 0);
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, empty, 0);
}

InternetHandle openRequest(HINTERNET connection, const AddressParts& address) {
    LPCSTR acceptTypes[] = {"Accept: */* \r\n", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (address.secure) {
        flags |= INTERNET_FLAG_SECURE;
    }
    return InternetHandle(HttpOpenRequestA(connection, "GET", address.path.c_str(), "HTTP/1.0",
                                           nullptr, acceptTypes, flags, 0));
}

int chunkSizeOf(HINTERNET request) {
    char length[32] = {};
    DWORD size = sizeof length;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr)) {
        return chunkSizeFor(TextView());
    }
    return chunkSizeFor(TextView(length, size));
}

// How much of the next read has arrived. A synchronous read waits until its whole buffer is
// filled, so a body that trickles in would hold a full-sized read far past the reading
// deadline; asking for no more than has arrived keeps each wait within the receive time-out.
// The query waits for the first byte; 0 at the end of the body. No value when it failed.
std::optional<DWORD> arrivedBytes(HINTERNET request) {
    DWORD arrived = 0;
    if (!InternetQueryDataAvailable(request, &arrived, 0, 0)) {
        return std::nullopt;
    }
    return arrived;
}

// Reads until the end of the body, a failed read, or the reading budget is spent; what
// was gathered until then is the body.
Bytes readBody(HINTERNET request, std::uint64_t startedAt) {
    Bytes body;
    Bytes chunk(static_cast<std::size_t>(chunkSizeOf(request)));
    for (;;) {
        std::size_t wanted = nextReadSize(chunk.size(), body.size(), GetTickCount64() - startedAt);
        if (wanted == 0) {
            return body;
        }
        const std::optional<DWORD> arrived = arrivedBytes(request);
        if (!arrived) {
            return body;
        }
        // With nothing reported the read below still runs: it gives 0 at the end of the body.
        if (*arrived > 0) {
            wanted = std::min<std::size_t>(wanted, *arrived);
        }
        DWORD read = 0;
        if (!InternetReadFile(request, chunk.data(), static_cast<DWORD>(wanted), &read) ||
            read == 0) {
            return body;
        }
        body.insert(body.end(), chunk.begin(), chunk.begin() + read);
    }
}

}  // namespace

Bytes httpGet(TextView address) {
    const std::uint64_t startedAt = GetTickCount64();
    // An empty address does not split either, so it never reaches the network.
    const std::optional<AddressParts> parts = splitAddress(address);
    if (!parts) {
        return {};
    }
    HINTERNET internet = internetHandle();
    if (internet == nullptr) {
        return {};
    }
    const InternetHandle connection(InternetConnectA(internet, parts->host.c_str(), parts->port,
                                                     parts->user.c_str(), parts->password.c_str(),
                                                     INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        return {};
    }
    limitWaits(connection.get());
    clearProxySettings(internet, connection.get());

    // Declared after the connection, so it is closed first.
    const InternetHandle request = openRequest(connection.get(), *parts);
    if (!request) {
        return {};
    }
    limitWaits(request.get());
    if (!HttpSendRequestA(request.get(), kExtraHeaders.data(),
                          static_cast<DWORD>(kExtraHeaders.size()), nullptr, 0)) {
        return {};
    }
    return readBody(request.get(), startedAt);
}
