#include "tests/fuzz/full_width.h"

#include <algorithm>
#include <cstddef>

Text widenAscii(TextView ascii, std::uint64_t which) {
    Text wide;
    for (std::size_t at = 0; at < ascii.size(); ++at) {
        const char byte = ascii[at];
        const bool chosen = ((which >> (at % 64)) & 1U) != 0;
        if (chosen && byte == ' ') {
            wide += "\xA1\xA1";
        } else if (chosen && byte > ' ' && byte <= '~') {
            wide += '\xA3';
            wide += static_cast<char>(static_cast<unsigned char>(byte) + 0x80);
        } else {
            wide += byte;
        }
    }
    return wide;
}

Text asciiOnly(TextView text) {
    Text ascii(text);
    for (char& byte : ascii) {
        byte = static_cast<char>(static_cast<unsigned char>(byte) & 0x7FU);
    }
    return ascii;
}

bool isAscii(TextView text) {
    return std::all_of(text.begin(), text.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}
