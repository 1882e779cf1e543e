#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace voltara {

// Audio that runs through the rack, a block at a time, as stereo: a mono
// source feeds both channels.
class AudioSource {
public:
    AudioSource() = default;
    AudioSource(const AudioSource&) = delete;
    AudioSource& operator=(const AudioSource&) = delete;
    virtual ~AudioSource() = default;

    virtual int sampleRate() const = 0;
    // The length the source expects to give, for the progress bar.
    virtual long long frames() const = 0;
    // Its samples' encoding as a libsndfile subformat (SF_FORMAT_PCM_16, ...),
    // which an output keeps where its container allows.
    virtual int encoding() const = 0;
    // Fills up to count frames; answers how many, 0 at the end.
    virtual std::size_t read(float* left, float* right, std::size_t count) = 0;

    // A Kestrelwave file (told by its first bytes, decoded through the codec
    // of the plug-in at pluginPath) or any file libsndfile reads; "-" is
    // standard input. Throws ToolError when it cannot be read.
    static std::unique_ptr<AudioSource> open(const std::string& path, const std::string& pluginPath);
};

} // namespace voltara
