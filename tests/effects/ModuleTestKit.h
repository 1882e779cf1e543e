#pragma once

#include "effects/FxModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    float left(int32_t frame) const { return samples[2 * static_cast<size_t>(frame)]; }
    float right(int32_t frame) const { return samples[2 * static_cast<size_t>(frame) + 1]; }

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

// The same tone on both channels: amplitude x sin(2 pi hz t).
inline StereoFrames sine(float hz, float amplitude, int32_t frames, float rate)
{
    StereoFrames s(frames);
    for (int32_t i = 0; i < frames; ++i)
        s.left(i) = s.right(i) = amplitude * std::sin(6.2831853f * hz * i / rate);
    return s;
}

// White noise, -amplitude .. +amplitude, every sample drawn apart; the same
// for the same seed.
inline StereoFrames noise(int32_t frames, float amplitude, uint32_t seed = 12345)
{
    StereoFrames s(frames);
    for (float& sample : s.samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = amplitude * (2.0f * (static_cast<float>(seed >> 8) / 16777216.0f) - 1.0f);
    }
    return s;
}

inline StereoFrames constant(int32_t frames, float value)
{
    StereoFrames s(frames);
    std::fill(s.samples.begin(), s.samples.end(), value);
    return s;
}

// Root mean square of one channel (0 left, 1 right) over count frames from first.
inline float rms(const StereoFrames& s, int32_t channel, int32_t first, int32_t count)
{
    double sum = 0.0;
    for (int32_t i = first; i < first + count; ++i) {
        const float sample = channel == 0 ? s.left(i) : s.right(i);
        sum += sample * sample;
    }
    return static_cast<float>(std::sqrt(sum / count));
}

inline bool allFinite(const StereoFrames& s)
{
    return std::all_of(s.samples.begin(), s.samples.end(), [](float sample) { return std::isfinite(sample); });
}

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
