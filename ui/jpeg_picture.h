// JPEG pictures decoded into pixels that a 32-bit top-down DIB section takes as they are.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    // Rows top-down, 4 bytes a pixel: blue, green, red, and an unused byte of 0.
    std::vector<std::uint8_t> pixels;

    bool empty() const { return pixels.empty(); }
};

// The empty picture for anything libjpeg cannot decode cleanly: not a JPEG, truncated,
// corrupt (even where libjpeg would only warn and fill in grey), or unreasonably large.
Picture decodeJpeg(std::span<const std::uint8_t> bytes);
