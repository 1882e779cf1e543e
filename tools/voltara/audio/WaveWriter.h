#pragma once

#include "tools/voltara/audio/AudioSink.h"
#include "tools/voltara/kfr/DiskFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// Writes a stereo WAV file: integer PCM of 8 (unsigned), 16, 24 or 32 bits,
// or 32-bit float with the extended format chunk and frame count that other
// tools expect of float files.
class WaveWriter : public AudioSink {
public:
    // bits: 8, 16, 24 or 32 for integers, 0 for float. Throws ToolError when
    // the file cannot be created.
    WaveWriter(const std::string& path, const std::string& shownPath, int bits, int sampleRate);

    void write(const float* interleaved, std::size_t count) override;
    void finish() override;

private:
    DiskFile file_;
    int bits_;
    std::vector<uint8_t> header_;
    int64_t frames_ = 0;
    std::vector<uint8_t> packed_;
};

} // namespace voltara
