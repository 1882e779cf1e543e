#pragma once

#include "effects/FxModule.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// Interleaved stereo test signals and a block-wise driver for one module.
struct StereoFrames {
    explicit StereoFrames(int32_t frames) : samples(2 * static_cast<size_t>(frames), 0.0f) {}

    int32_t frames() const { return static_cast<int32_t>(samples.size() / 2); }
    float& left(int32_t frame) { return samples[2 * static_cast<size_t>(frame)]; }
    float& right(int32_t frame) { return samples[2 * static_cast<size_t>(frame) + 1]; }

    // Runs the module over the whole buffer in host-sized blocks.
    void process(FxModule& module, int32_t block = 512)
    {
        for (int32_t start = 0; start < frames(); start += block) {
            const int32_t count = std::min(block, frames() - start);
            module.process(samples.data() + 2 * static_cast<size_t>(start), count, 0.0);
        }
    }

    std::vector<float> samples;
};

inline std::string parameterText(const FxModule& module, int32_t slot)
{
    char text[32] = "?";
    module.getParameterText(slot, text);
    return text;
}

inline std::string parameterName(const FxModule& module, int32_t slot)
{
    char text[32] = "?";
    module.getParameterName(slot, text);
    return text;
}

} // namespace voltara
