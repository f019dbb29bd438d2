// Texts are GBK byte strings. Lengths and positions count bytes, positions are 1-based,
// and nothing here ever converts between code pages.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An owned text. std::string owns and frees its bytes, so there is no freeText: a text is
// released when its owner goes out of scope or is assigned a new value.
using Text = std::string;
// A borrowed text: literals and control contents are read through views without copying.
using TextView = std::string_view;
// The raw bytes of a download.
using Bytes = std::vector<std::uint8_t>;

// Bytes before the end of the text; a double-byte character counts 2.
int textLength(TextView text);

// The parts joined in order. Never fails: all-empty parts give the empty text.
Text concatTextList(std::initializer_list<TextView> parts);
template <typename... Parts>
Text concatText(const Parts&... parts) {
    return concatTextList({TextView(parts)...});
}

// count bytes from the 1-based start, clipped at the end; empty when start lies outside
// the text or count < 1. May split a double-byte character.
Text midText(TextView text, int start, int count);

// 1-based position of the first match of sought, tried only where a character begins;
// -1 when there is none. start < 2 or omitted searches from the first byte. With
// ignoreCase, ASCII letters match either case, byte by byte.
int findText(TextView text, TextView sought, std::optional<int> start, bool ignoreCase);

// The bytes up to the first zero byte.
Text bytesToText(const Bytes& bytes);
