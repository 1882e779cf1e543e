#pragma once

#include <cstdint>

namespace voltara {

// Four-character codes ('MoxP', 'KRfx'): the first character in the most
// significant byte.
constexpr int32_t fourCharCode(char a, char b, char c, char d)
{
    return static_cast<int32_t>(
        (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16)
        | (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

// The same from a four-letter text: fourCharCode("MoxB").
constexpr int32_t fourCharCode(const char (&text)[5])
{
    return fourCharCode(text[0], text[1], text[2], text[3]);
}

static_assert(fourCharCode('K', 'R', 'f', 'x') == 0x4b526678, "first character in the most significant byte");

} // namespace voltara
