#include <cstdlib>

#include "tests/e2e/driver/commands.h"

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string Arguments::word() {
    while (!rest_.empty() && isSpace(rest_.front())) {
        rest_.remove_prefix(1);
    }
    std::size_t length = 0;
    while (length < rest_.size() && !isSpace(rest_[length])) {
        ++length;
    }
    if (length == 0) {
        throw CommandError("missing argument; usage: " + std::string(usage_));
    }
    std::string taken(rest_.substr(0, length));
    rest_.remove_prefix(length);
    return taken;
}

long long Arguments::number() {
    const std::string text = word();
    char* end = nullptr;
    // Base 0: window handles may come as 0x... as well as decimal.
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (end == text.c_str() || *end != '\0') {
        throw CommandError("not a number: " + text + "; usage: " + std::string(usage_));
    }
    return value;
}

HWND Arguments::window() {
    const auto value = number();
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
    if (!IsWindow(window)) {
        throw CommandError("no such window: " + std::to_string(value));
    }
    return window;
}

std::string Arguments::rest() {
    while (!rest_.empty() && isSpace(rest_.front())) {
        rest_.remove_prefix(1);
    }
    while (!rest_.empty() && isSpace(rest_.back())) {
        rest_.remove_suffix(1);
    }
    std::string taken(rest_);
    rest_ = {};
    return taken;
}

bool Arguments::empty() const {
    return rest_.find_first_not_of(" \t\r\n") == std::string_view::npos;
}
