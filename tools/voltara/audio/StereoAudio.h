#pragma once

#include <vector>

namespace voltara {

// Stereo audio in memory, as the rack takes it.
struct StereoAudio {
    int sampleRate = 44100; // Hz
    std::vector<float> left;
    std::vector<float> right;
};

} // namespace voltara
