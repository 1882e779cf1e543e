#pragma once

#include <string>
#include <vector>

namespace voltara::test {

// Just enough of 32-bit float WAV for tests to make inputs and read outputs.
struct FloatWav {
    int channels = 2;
    int sampleRate = 44100;
    std::vector<float> samples; // interleaved

    std::size_t frames() const { return samples.size() / std::size_t(channels); }
    float at(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }

    // Empty samples when the file is missing or not float WAV.
    static FloatWav read(const std::string& path);
    void write(const std::string& path) const;
};

} // namespace voltara::test
