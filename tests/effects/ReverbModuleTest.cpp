#include "effects/ReverbModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;

enum Model { spring, plate, hall };
constexpr float modeValue[] = {0.0f, 0.35f, 1.0f}; // knob values selecting each model

struct ReverbFixture : ::testing::Test {
    void configure(Model model, float time)
    {
        module.setParameter(ReverbModule::onSwitch, 1.0f);
        module.setParameter(ReverbModule::timeKnob, time);
        module.setParameter(ReverbModule::modeKnob, modeValue[model]);
        module.setSampleRate(rate);
    }

    ReverbModule module;
};

// Mean energy per frame of both channels in [from, to) seconds.
double energy(StereoFrames& s, double from, double to)
{
    double sum = 0.0;
    const int32_t first = static_cast<int32_t>(from * rate);
    const int32_t last = static_cast<int32_t>(to * rate);
    for (int32_t i = first; i < last; ++i)
        sum += s.left(i) * s.left(i) + s.right(i) * s.right(i);
    return sum / (last - first);
}

TEST_F(ReverbFixture, NamesDefaultsAndTexts)
{
    const char* const names[] = {"REVERB", "Time", "Mode", "Mix", "*S.Boing", "*S.Dirt", "", ""};
    const float defaults[] = {0.0f, 0.5f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f};
    expectSlots(module, "Reverb", names, defaults);
    EXPECT_EQ(module.getLfoLamp(), 0);

    const TextCase table[] = {
        {1, 0.0f, "0.2 s"}, {1, 1.0f, "10.0 s"}, {2, 1.0f, "Hall"}, {2, 0.35f, "Plate"}, {2, 0.0f, "Spring"},
        {3, 0.5f, "50 %"},  {5, 1.0f, "100 %"},  {6, 0.3f, ""},     {7, 1.0f, ""},
    };
    module.setSampleRate(rate);
    expectTexts(module, table);
    // The rack reads the position switch back; the module keeps it as sent.
    EXPECT_EQ(module.getParameter(7), 1.0f);
}

TEST_F(ReverbFixture, TailDecaysAtTheRateTimeSets)
{
    // A lossless network loses about 20 log10(sqrt(2) x decay) dB per pass
    // through its four lines (mean length 0.711 x the longest); damping adds
    // loss in the upper range, so the late tail decays a little faster.
    const struct {
        Model model;
        float longestDecay;
        float lineSeconds;
    } table[] = {{spring, 0.69f, 0.09898f}, {plate, 0.6f, 0.14766f}, {hall, 0.66f, 0.18451f}};
    for (const auto& row : table) {
        configure(row.model, 1.0f);
        StereoFrames slow = impulseResponse(module, static_cast<int32_t>(3.5f * rate));
        const double slope = 10.0 * std::log10(energy(slow, 3.0, 3.5) / energy(slow, 2.0, 2.5));
        const double lossless = 20.0 * std::log10(std::sqrt(2.0) * row.longestDecay) / (0.711 * row.lineSeconds);
        EXPECT_LT(slope, 0.9 * lossless) << row.model;
        EXPECT_GT(slope, 2.2 * lossless) << row.model;

        configure(row.model, 0.0f); // decay 0.5 lower
        StereoFrames fast = impulseResponse(module, static_cast<int32_t>(1.5f * rate));
        const double fastSlope = 10.0 * std::log10(energy(fast, 1.0, 1.5) / energy(fast, 0.5, 1.0)) * 2.0;
        EXPECT_LT(fastSlope, 3.0 * slope) << row.model;
    }
}

TEST_F(ReverbFixture, FirstFramePassesTheDiffuserDirectPath)
{
    // Through four empty all-pass stages the first sample arrives as g^4 x d,
    // where d is the input after the low-pass: whole in Plate, which has none.
    const struct {
        Model model;
        float gain;
        float lowPassHz;
        float decay; // at Time 0.5
    } table[] = {{spring, 0.53f, 50000.0f, 0.565f}, {plate, 0.7f, 0.0f, 0.475f}, {hall, 0.6f, 33000.0f, 0.535f}};
    for (const auto& row : table) {
        configure(row.model, 0.5f);
        const StereoFrames s = impulseResponse(module, 1);
        const float lowPass = row.lowPassHz > 0.0f ? 1.0f - std::exp(-row.lowPassHz / rate) : 1.0f;
        float w = 0.125f / (row.decay + 0.5f);
        if (row.model == spring)
            w *= 2.0f;
        const float g2 = row.gain * row.gain;
        EXPECT_NEAR(s.samples[1], 1.0f + w * g2 * g2 * 2.0f * lowPass, 1e-6f) << row.model;
    }
}

TEST_F(ReverbFixture, SpringIsMonoHallIsWide)
{
    for (const Model model : {spring, hall}) {
        configure(model, 0.5f);
        StereoFrames s = impulseResponse(module, 20000);
        bool same = true;
        for (int32_t i = 0; i < s.frames(); ++i)
            same = same && s.left(i) == s.right(i);
        EXPECT_EQ(same, model == spring);
    }
}

TEST_F(ReverbFixture, ZeroMixSilencesTheWetButKeepsTheTail)
{
    configure(hall, 0.5f);
    impulseResponse(module, 4410);
    module.setParameter(ReverbModule::mixKnob, 0.0f);
    StereoFrames dry(4410);
    dry.process(module);
    for (float sample : dry.samples)
        ASSERT_EQ(sample, 0.0f);
    module.setParameter(ReverbModule::mixKnob, 0.5f);
    StereoFrames tail(4410);
    tail.process(module);
    EXPECT_GT(energy(tail, 0.0, 0.1), 1e-8);
}

TEST_F(ReverbFixture, DirtClipsOnlyTheSpring)
{
    for (const Model model : {spring, hall}) {
        module.setParameter(ReverbModule::dirtKnob, 0.0f);
        configure(model, 0.5f);
        const StereoFrames clean = impulseResponse(module, 5000);
        module.setParameter(ReverbModule::dirtKnob, 1.0f); // first diffuser write clipped at 0.1
        configure(model, 0.5f);
        const StereoFrames dirty = impulseResponse(module, 5000);
        EXPECT_EQ(clean.samples == dirty.samples, model == hall) << model;
    }
}

// Past 0.85, "*S.Boing" would take the spring's first diffuser stage to a gain
// of 1 and beyond, where it grows without end. It rings at most as long as
// at 0.85, at every rate: after a second of full-scale noise the tail builds
// up for a while, then decays second by second.
TEST(ReverbSpring, BoingAboveItsStableRangeRingsButNeverGrows)
{
    for (const float sampleRate : {8000.0f, 44100.0f, 384000.0f}) {
        for (const float boing : {0.86f, 1.0f}) {
            ReverbModule module;
            module.setParameter(ReverbModule::onSwitch, 1.0f);
            module.setParameter(ReverbModule::timeKnob, 1.0f);
            module.setParameter(ReverbModule::mixKnob, 1.0f);
            module.setParameter(ReverbModule::boingKnob, boing);
            module.setSampleRate(sampleRate);
            const int32_t second = static_cast<int32_t>(sampleRate);
            StereoFrames s = noise(second, 1.0f);
            s.samples.resize(2 * 6 * static_cast<size_t>(second), 0.0f);
            s.process(module);
            float peak = 0.0f;
            for (const float sample : s.samples)
                peak = std::max(peak, std::fabs(sample));
            EXPECT_LT(peak, 1000.0f) << sampleRate << " Hz, boing " << boing;
            for (int32_t k = 3; k < 6; ++k)
                EXPECT_LT(rms(s, 0, k * second, second), rms(s, 0, (k - 1) * second, second))
                    << sampleRate << " Hz, boing " << boing << ", second " << k;
        }
    }
}

// The input high-pass (the spring's 13000 per second) takes at most the
// plain difference of its input: at rates where 13000 / rate passes 1 its
// coefficient stops at 1, so the second frame after an impulse is the
// low-passed input minus the whole of the first.
TEST(ReverbSpring, TheInputHighPassNeverOvershoots)
{
    for (const float sampleRate : {8000.0f, 11025.0f, 44100.0f}) {
        ReverbModule module;
        module.setParameter(ReverbModule::onSwitch, 1.0f);
        module.setParameter(ReverbModule::timeKnob, 0.5f);
        module.setSampleRate(sampleRate);
        const StereoFrames s = impulseResponse(module, 2);
        const float lowPass = 1.0f - std::exp(-50000.0f / sampleRate);
        const float highPass = std::min(13000.0f / sampleRate, 1.0f);
        const float d0 = 2.0f * lowPass, d1 = d0 * (1.0f - lowPass) - highPass * d0;
        const float g2 = 0.53f * 0.53f;
        const float w = 2.0f * 0.125f / (0.565f + 0.5f);
        EXPECT_NEAR(s.left(1), w * g2 * g2 * d1, 1e-6f) << sampleRate << " Hz";
    }
}

} // namespace
} // namespace voltara
