#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace voltara {

class InputCopy;

// Audio that runs through the rack, a block at a time, as stereo: a mono
// source feeds both channels.
class AudioSource {
public:
    AudioSource();
    AudioSource(const AudioSource&) = delete;
    AudioSource& operator=(const AudioSource&) = delete;
    virtual ~AudioSource();

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
    // standard input, which (like a FIFO) is first copied whole into a
    // temporary file. Throws ToolError when it cannot be read, saying why
    // (no such file, a folder, empty, ...).
    static std::unique_ptr<AudioSource> open(const std::string& path, const std::string& pluginPath);

private:
    std::unique_ptr<InputCopy> copy_; // the file read, for standard input or a FIFO
};

} // namespace voltara
