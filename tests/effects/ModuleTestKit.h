#pragma once

#include "effects/FxModule.h"

#include <gtest/gtest.h>

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

// A unit impulse on both channels at frame 0, run through the module.
inline StereoFrames impulseResponse(FxModule& module, int32_t frames)
{
    StereoFrames s(frames);
    s.left(0) = 1.0f;
    s.right(0) = 1.0f;
    s.process(module);
    return s;
}

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

// The module's name, its slot names (and "" beyond the last slot) and its
// default values.
inline void expectSlots(const FxModule& module, const char* name, const char* const (&names)[8],
                        const float (&defaults)[8])
{
    EXPECT_EQ(parameterName(module, -1), name);
    EXPECT_EQ(parameterName(module, 8), "");
    for (int32_t slot = 0; slot < 8; ++slot) {
        EXPECT_EQ(parameterName(module, slot), names[slot]) << slot;
        EXPECT_EQ(module.getParameter(slot), defaults[slot]) << slot;
    }
}

// A value set on a slot and the text the module then shows for it; slots
// outside 0 .. 7 are only asked for their text.
struct TextCase {
    int32_t slot;
    float value;
    const char* text;
};

template <size_t N>
void expectTexts(FxModule& module, const TextCase (&cases)[N])
{
    for (const TextCase& row : cases) {
        if (FxModule::isValidSlot(row.slot))
            module.setParameter(row.slot, row.value);
        EXPECT_EQ(parameterText(module, row.slot), row.text) << row.slot << " " << row.value;
    }
}

} // namespace voltara
