#include "support/text.h"

#include <algorithm>
#include <cstddef>

namespace {

bool isLeadByte(char byte) {
    return static_cast<unsigned char>(byte) >= 0x80;
}

char lowerAsciiLetter(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// Folds the ASCII letters alone, so the second bytes of double-byte characters fold too
// and full-width letters never do.
bool bytesMatch(TextView here, TextView sought, bool ignoreCase) {
    if (!ignoreCase) {
        return here == sought;
    }
    return std::equal(here.begin(), here.end(), sought.begin(), [](char left, char right) {
        return lowerAsciiLetter(left) == lowerAsciiLetter(right);
    });
}

}  // namespace

int textLength(TextView text) {
    return static_cast<int>(text.size());
}

Text concatTextList(std::initializer_list<TextView> parts) {
    std::size_t total = 0;
    for (TextView part : parts) {
        total += part.size();
    }
    Text joined;
    joined.reserve(total);
    for (TextView part : parts) {
        joined += part;
    }
    return joined;
}

Text midText(TextView text, int start, int count) {
    const int length = textLength(text);
    if (start < 1 || start > length || count < 1) {
        return {};
    }
    const int taken = std::min(count, length - start + 1);
    return Text(text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(taken)));
}

int findText(TextView text, TextView sought, std::optional<int> start, bool ignoreCase) {
    const int length = textLength(text);
    const int soughtLength = textLength(sought);
    const int first = (!start || *start < 2) ? 1 : *start;
    int left = first > length ? 0 : length - first + 1;
    if (soughtLength == 0) {
        return left > 0 ? 1 : -1;
    }
    // Matches are tried only where a character begins, so an ASCII text is never found
    // inside a double-byte character whose second byte happens to be in the ASCII range.
    std::size_t at = static_cast<std::size_t>(first - 1);
    while (left >= soughtLength) {
        if (bytesMatch(text.substr(at, sought.size()), sought, ignoreCase)) {
            return static_cast<int>(at) + 1;
        }
        if (isLeadByte(text[at])) {
            if (at + 1 >= text.size() || text[at + 1] == '\0') {
                return -1;
            }
            at += 2;
            left -= 2;
        } else {
            at += 1;
            left -= 1;
        }
    }
    return -1;
}

Text bytesToText(const Bytes& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}
