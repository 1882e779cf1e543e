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
// One chunk: the four-letter id, the payload's size, the payload.
std::vector<uint8_t> chunk(const char id[4], const std::string& payload);

// Packed wave samples (8-bit unsigned, 16- and 24-bit signed little-endian)
// as the codec takes them: 32-bit integers on the 24-bit scale.
void toCodecSamples(const uint8_t* packed, size_t count, int32_t bits, int32_t* samples);

} // namespace voltara::codechost
