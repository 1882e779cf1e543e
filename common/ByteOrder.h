#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// Numbers stored in files byte by byte, whatever the order of the machine:
// bank files are big-endian, Kestrelwave and wave files little-endian.
namespace voltara {

inline uint32_t bigEndian32(const uint8_t* at)
{
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | uint32_t{at[3]};
}

inline void putBigEndian32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

inline float bigEndianFloat(const uint8_t* at)
{
    const uint32_t word = bigEndian32(at);
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

inline void putBigEndianFloat(uint8_t* at, float value)
{
    uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    putBigEndian32(at, word);
}

inline uint16_t littleEndian16(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}

inline uint32_t littleEndian32(const uint8_t* at)
{
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

inline uint64_t littleEndian64(const uint8_t* at)
{
    return uint64_t{littleEndian32(at)} | uint64_t{littleEndian32(at + 4)} << 32;
}

inline void putLittleEndian32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void putLittleEndian64(uint8_t* at, uint64_t value)
{
    putLittleEndian32(at, static_cast<uint32_t>(value));
    putLittleEndian32(at + 4, static_cast<uint32_t>(value >> 32));
}

// The low `bytes` bytes of value added to the end of out, lowest first.
inline void appendLittleEndian(std::vector<uint8_t>& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace voltara
