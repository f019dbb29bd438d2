#include "tests/fuzz/reference_search.h"

#include <cctype>
#include <cstddef>

namespace {

bool sameByte(char left, char right, bool ignoreCase) {
    const auto a = static_cast<unsigned char>(left);
    const auto b = static_cast<unsigned char>(right);
    // The fuzz targets never set a locale, so tolower folds the ASCII letters alone.
    return ignoreCase ? std::tolower(a) == std::tolower(b) : a == b;
}

bool matchesAt(TextView text, std::size_t at, TextView sought, bool ignoreCase) {
    if (text.size() - at < sought.size()) {
        return false;
    }
    for (std::size_t index = 0; index < sought.size(); ++index) {
        if (!sameByte(text[at + index], sought[index], ignoreCase)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::size_t> characterStarts(TextView text, std::size_t from) {
    std::vector<std::size_t> starts;
    std::size_t at = from;
    while (at < text.size()) {
        starts.push_back(at);
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            at += 1;
            continue;
        }
        if (at + 1 == text.size() || text[at + 1] == '\0') {
            break;
        }
        at += 2;
    }
    return starts;
}

int referenceFind(TextView text, TextView sought, int start, bool ignoreCase) {
    const std::size_t from = start < 2 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) {
        return -1;
    }
    // Nothing to compare: found at once, and the result names the first byte of the text
    // rather than the start, as the program has always answered.
    if (sought.empty()) {
        return 1;
    }
    for (const std::size_t at : characterStarts(text, from)) {
        if (matchesAt(text, at, sought, ignoreCase)) {
            return static_cast<int>(at) + 1;
        }
    }
    return -1;
}
