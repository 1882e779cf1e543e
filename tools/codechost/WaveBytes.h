#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The wave-file bytes a host of the codec hands it and gets back.
namespace voltara::codechost {

// A PCM wave header up to and including the "data" chunk header;
// extraChunks are whole chunks (id, size, bytes) placed between "fmt " and
// "data".
std::vector<uint8_t> waveHeader(int32_t channels, int32_t rate, int32_t bits, uint32_t dataBytes,
                                const std::vector<uint8_t>& extraChunks = {});
// A 32-bit float wave header as other tools expect it: an 18-byte "fmt "
// chunk (format 3, extension size 0) and a "fact" chunk holding the frame
// count, then the "data" chunk header.
std::vector<uint8_t> floatWaveHeader(int32_t channels, int32_t rate, uint32_t frames);
// Where floatWaveHeader keeps the frame count.
constexpr size_t floatWaveFactFramesOffset = 12 + 8 + 18 + 8;

// One chunk: the four-letter id, the payload's size, the payload.
std::vector<uint8_t> chunk(const char id[4], const std::string& payload);

// Packed wave samples (8-bit unsigned, 16- and 24-bit signed little-endian)
// as the codec takes them: 32-bit integers on the 24-bit scale.
void toCodecSamples(const uint8_t* packed, size_t count, int32_t bits, int32_t* samples);

} // namespace voltara::codechost
