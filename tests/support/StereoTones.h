#pragma once

#include <cstddef>
#include <vector>

namespace voltara::test {

// Planar stereo samples, as LV2 hosts hand them over.
struct Stereo {
    explicit Stereo(std::size_t frames) : left(frames), right(frames) {}
    std::vector<float> left, right;
};

// Two tones, different per channel, loud enough for every effect to show.
Stereo tones(std::size_t frames);

} // namespace voltara::test
