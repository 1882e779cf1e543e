#include "effects/ChorusModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;
constexpr int32_t spacing = 2400; // frames between test impulses: longer than the line

ChorusModule& switchedOn(ChorusModule& module)
{
    module.setParameter(ChorusModule::onSwitch, 1.0f);
    module.setSampleRate(rate);
    return module;
}

struct Latencies {
    int32_t left;
    int32_t right;
};

// Sends an impulse on both channels every `spacing` frames, after the wet
// mix has faded in, and reports where each side's echo peaks.
std::vector<Latencies> echoLatencies(ChorusModule& module, int32_t impulses)
{
    StereoFrames warmUp(20000);
    warmUp.process(module);
    std::vector<Latencies> found;
    for (int32_t n = 0; n < impulses; ++n) {
        StereoFrames s = impulseResponse(module, spacing);
        Latencies peak{1, 1};
        for (int32_t i = 2; i < spacing; ++i) {
            if (std::fabs(s.left(i)) > std::fabs(s.left(peak.left)))
                peak.left = i;
            if (std::fabs(s.right(i)) > std::fabs(s.right(peak.right)))
                peak.right = i;
        }
        found.push_back(peak);
    }
    return found;
}

TEST(ChorusModule, NamesDefaultsAndTexts)
{
    ChorusModule module;
    const char* const names[] = {"CHORUS", "Mode", "Rate", "Depth", "*Fbk", "", "", ""};
    const float defaults[] = {0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f};
    expectSlots(module, "Chorus", names, defaults);
    const TextCase table[] = {
        {0, 0.0f, "OFF"}, {1, 0.5f, "CHO"}, {2, 0.5f, "50 %"}, {1, 0.51f, "DET"}, {4, 1.0f, "100 %"}, {5, 0.0f, ""},
    };
    expectTexts(module, table);
}

TEST(ChorusModule, TapsSweepOppositeWaysWithinTheDepth)
{
    ChorusModule module;
    module.setParameter(ChorusModule::rateKnob, 1.0f); // rate 10: depth limited to 4 ms
    module.setParameter(ChorusModule::depthKnob, 1.0f);
    module.setParameter(ChorusModule::feedbackKnob, 0.0f);
    switchedOn(module);
    const float base = 0.008f * rate + 1.0f;
    const float depth = 0.004f * rate;
    int32_t lowest = spacing;
    int32_t highest = 0;
    for (const Latencies& echo : echoLatencies(module, 40)) {
        for (int32_t latency : {echo.left, echo.right}) {
            EXPECT_GE(latency, static_cast<int32_t>(base));
            EXPECT_LE(latency, static_cast<int32_t>(base + depth) + 1);
            lowest = std::min(lowest, latency);
            highest = std::max(highest, latency);
        }
        // The two delays mirror each other around the middle of the sweep
        // (each echo is seen a little apart in time while the LFO moves on).
        EXPECT_NEAR(echo.left + echo.right, depth + 2.0f * base, 12.0f);
    }
    EXPECT_GT(highest - lowest, 0.9f * depth); // the taps really move
}

TEST(ChorusModule, SlowRatesGetTheFullFortyMillisecondDepth)
{
    ChorusModule module;
    module.setParameter(ChorusModule::rateKnob, 0.5654f); // rate just below 1
    module.setParameter(ChorusModule::depthKnob, 1.0f);
    module.setParameter(ChorusModule::feedbackKnob, 0.0f);
    switchedOn(module);
    int32_t highest = 0;
    for (const Latencies& echo : echoLatencies(module, 60))
        highest = std::max({highest, echo.left, echo.right});
    const float base = 0.008f * rate + 1.0f;
    EXPECT_GT(highest, base + 0.9f * 0.04f * rate);
}

TEST(ChorusModule, DetuneIgnoresFeedbackAndKeepsItsLampLit)
{
    for (const bool detune : {false, true}) {
        ChorusModule module;
        module.setParameter(ChorusModule::modeSwitch, detune ? 1.0f : 0.0f);
        module.setParameter(ChorusModule::feedbackKnob, 1.0f);
        switchedOn(module);
        StereoFrames warmUp(20000);
        warmUp.process(module);
        StereoFrames s = impulseResponse(module, 8000);
        // Past the longest delay (48 ms + 1 frame) only fed-back echoes remain.
        float later = 0.0f;
        for (int32_t i = 2200; i < s.frames(); ++i)
            later = std::max({later, std::fabs(s.left(i)), std::fabs(s.right(i))});
        if (detune) {
            EXPECT_EQ(later, 0.0f);
            EXPECT_EQ(module.getLfoLamp(), 7);
        } else {
            EXPECT_GT(later, 0.01f);
        }
    }
}

TEST(ChorusModule, GeometryChangesRestartTheWetFade)
{
    // Largest departure from the dry signal over one control block.
    const auto wetness = [](ChorusModule& module) {
        StereoFrames s(8);
        for (int32_t i = 0; i < 8; ++i)
            s.left(i) = s.right(i) = 0.5f * std::sin(0.3f * static_cast<float>(i));
        const StereoFrames dry = s;
        s.process(module);
        float most = 0.0f;
        for (size_t i = 0; i < s.samples.size(); ++i)
            most = std::max(most, std::fabs(s.samples[i] - dry.samples[i]));
        return most;
    };
    ChorusModule module;
    switchedOn(module);
    StereoFrames signal(40000);
    for (int32_t i = 0; i < signal.frames(); ++i)
        signal.left(i) = signal.right(i) = 0.5f * std::sin(0.05f * static_cast<float>(i));
    signal.process(module);
    ASSERT_GT(wetness(module), 0.05f);

    module.setParameter(ChorusModule::feedbackKnob, 0.9f); // feedback alone: the fade goes on
    EXPECT_GT(wetness(module), 0.05f);
    module.setParameter(ChorusModule::depthKnob, 0.8f); // depth: back to dry, fading in again
    EXPECT_LT(wetness(module), 0.01f);
    signal.process(module);
    EXPECT_GT(wetness(module), 0.05f);
    module.setParameter(ChorusModule::modeSwitch, 1.0f); // mode change moves the base delay
    EXPECT_LT(wetness(module), 0.01f);
}

} // namespace
} // namespace voltara
