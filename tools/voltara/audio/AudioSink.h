#pragma once

#include <cstddef>

namespace voltara {

// Where an AudioOutput puts its samples: one writer per kind of file, each
// writing to the output's temporary file.
class AudioSink {
public:
    AudioSink() = default;
    AudioSink(const AudioSink&) = delete;
    AudioSink& operator=(const AudioSink&) = delete;
    virtual ~AudioSink() = default;

    // count frames of interleaved stereo, already limited to full scale when
    // the encoding is integer. Throws ToolError when the write fails.
    virtual void write(const float* interleaved, std::size_t count) = 0;
    // Completes the file (sizes, trailers); throws ToolError when it cannot.
    virtual void finish() = 0;
};

} // namespace voltara
