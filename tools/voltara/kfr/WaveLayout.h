#pragma once

#include <cstdint>
#include <vector>

namespace voltara {

class DiskFile;

// A wave file cut where Kestrelwave cuts it: the header chunks up to and
// including the "data" chunk header, the samples, and the chunks after them.
struct WaveLayout {
    std::vector<uint8_t> header;
    int64_t dataOffset = 0; // file offset of the samples
    int64_t dataBytes = 0;
    std::vector<uint8_t> trailing;
    int32_t channels = 0, rate = 0, bits = 0;

    int64_t frameBytes() const { return int64_t{channels} * (bits / 8); }
    int64_t frames() const { return dataBytes / frameBytes(); }

    // Reads the layout of a RIFF/WAVE file with 8-, 16- or 24-bit integer
    // samples in one or two channels; throws ToolError saying what it is not.
    static WaveLayout of(DiskFile& file);
};

// Puts the sizes of a valid wave file into a header ending in the "data"
// chunk header: RIFF size = file length - 8, data size = sample bytes.
void setWaveSizes(std::vector<uint8_t>& header, int64_t fileLength, int64_t sampleBytes);

} // namespace voltara
