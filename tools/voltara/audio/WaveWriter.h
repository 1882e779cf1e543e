#pragma once

#include "tools/voltara/audio/AudioSink.h"
#include "tools/voltara/kfr/DiskFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace voltara {

class PendingFile;

// Writes a stereo WAV file: integer PCM of 8 (unsigned), 16, 24 or 32 bits,
// or 32-bit float with the extended format chunk and frame count that other
// tools expect of float files.
class WaveWriter : public AudioSink {
public:
    // bits: 8, 16, 24 or 32 for integers, 0 for float. Throws ToolError when
    // the file cannot be created.
    WaveWriter(const std::string& path, const std::string& shownPath, int bits, int sampleRate);
    // Into a stream (standard output, a FIFO), in order as the samples come:
    // the header goes first, with the sizes of expectedFrames, or, when that
    // is not known (below 0), the largest a reader takes for "to the end".
    WaveWriter(PendingFile& stream, int bits, int sampleRate, int64_t expectedFrames);

    void write(const float* interleaved, std::size_t count) override;
    void finish() override;

private:
    WaveWriter(int bits, int sampleRate);
    void put(int64_t offset, const std::vector<uint8_t>& bytes);
    // The header's sizes for this many frames.
    void sizeFor(int64_t frames);

    std::unique_ptr<DiskFile> file_; // or
    PendingFile* stream_ = nullptr;
    std::string shownPath_;
    int bits_;
    int sampleBytes_;
    std::vector<uint8_t> header_;
    int64_t frames_ = 0;
    int64_t expectedFrames_ = -1;
    std::vector<uint8_t> packed_;
};

} // namespace voltara
