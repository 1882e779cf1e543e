#pragma once

#include "tools/voltara/audio/AudioSink.h"
#include "tools/voltara/audio/OutputFormat.h"
#include "tools/voltara/base/PendingFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace voltara {

// The output of the rack: gain applied, written in the chosen format under a
// temporary name and moved into place on commit; a WAV stream (standard
// output, a FIFO) gets its samples as they are rendered. Samples clipped by an integer encoding are counted and
// reported on standard error when the file is complete.
class AudioOutput {
public:
    // expectedFrames: what will be written, or below 0 when not known (for the
    // header of a stream). gain: a factor on every sample. pluginPath: the
    // codec for Kestrelwave files.
    AudioOutput(const std::string& path, const OutputFormat& format, int sampleRate, int64_t expectedFrames, float gain,
                const std::string& pluginPath);

    void write(const float* left, const float* right, std::size_t count);
    void commit();

private:
    PendingFile pending_;
    std::unique_ptr<AudioSink> sink_;
    float gain_;
    int integerBits_;
    long long clipped_ = 0; // samples
    float clippedPeak_ = 0.0f;
    std::vector<float> interleaved_;
};

} // namespace voltara
