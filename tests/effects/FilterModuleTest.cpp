#include "effects/FilterModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;

struct FilterTest : ::testing::Test {
    FilterModule filter;
    void SetUp() override
    {
        filter.setSampleRate(rate);
        filter.setParameter(FilterModule::onSwitch, 1.0f);
    }
    // One frame through the filter; answers the output frame.
    std::pair<float, float> frame(float left, float right)
    {
        float samples[2] = {left, right};
        filter.process(samples, 1, 0.0);
        return {samples[0], samples[1]};
    }
};

TEST(FilterModule, NamesDefaultsAndTexts)
{
    FilterModule filter;
    const char* const names[8] = {"FILTER", "Thresh", "Reso", "Mode", "*Min F", "*Max F", "*Speed", "*Hold"};
    const float defaults[8] = {0.0f, 0.5f, 0.25f, 1.0f, 0.1f, 1.0f, 0.5f, 0.75f};
    expectSlots(filter, "Filter", names, defaults);

    const TextCase table[] = {
        {0, 0.5f, "OFF"},    {0, 0.51f, "ON"},     {1, 0.5f, "  50 %"}, {2, 0.25f, "  25 %"},
        {3, 0.5f, "DOWN"},   {3, 0.51f, "UP"},     {4, 0.1f, "  10 %"}, {5, 1.0f, " 100 %"},
        {6, 0.5f, "  50 %"}, {7, 0.75f, "  75 %"}, {8, 0.0f, ""},
    };
    expectTexts(filter, table);
}

// Silence still reads 0.001 at the detector: above a threshold of 0, below
// the default 0.125 (where the detector, 0.1 after a reset, is idle at once).
TEST_F(FilterTest, SilenceAgainstTheThreshold)
{
    frame(0.0f, 0.0f);
    EXPECT_EQ(filter.getLfoLamp(), 3);
    filter.setParameter(FilterModule::thresholdKnob, 0.0f);
    frame(0.0f, 0.0f);
    EXPECT_EQ(filter.getLfoLamp(), 7);
}

TEST_F(FilterTest, DetectorExactlyAtTheThresholdIsIdle)
{
    // Threshold 0.5^3 = 0.125; a frame whose detector reads exactly that.
    const float left = 0.125f - 0.001f;
    ASSERT_EQ(left + 0.0f + 0.001f, 0.125f);
    filter.setParameter(FilterModule::thresholdKnob, 0.0f);
    frame(left, 0.0f);
    ASSERT_EQ(filter.getLfoLamp(), 7);
    filter.setParameter(FilterModule::holdKnob, -20.0f); // no release: the detector keeps 0.125
    filter.setParameter(FilterModule::thresholdKnob, 0.4999f);
    frame(0.0f, 0.0f);
    EXPECT_EQ(filter.getLfoLamp(), 7);
    filter.setParameter(FilterModule::thresholdKnob, 0.5f);
    frame(0.0f, 0.0f);
    EXPECT_EQ(filter.getLfoLamp(), 3);
}

// The left sample of a frame is filtered with the coefficient of the previous
// frame, the right one with the coefficient the frame's glide just produced.
TEST(FilterModule, LeftUsesOldCoefficientRightUsesNew)
{
    auto firstFrame = [](float left, float right, float speed) {
        FilterModule filter;
        filter.setParameter(FilterModule::onSwitch, 1.0f);
        filter.setParameter(FilterModule::speedKnob, speed);
        filter.setSampleRate(rate);
        float samples[2] = {left, right};
        filter.process(samples, 1, 0.0);
        return std::make_pair(samples[0], samples[1]);
    };
    const float gliding = 0.5f;
    const float frozen = -20.0f; // glide coefficient 0: F stays at 0.1
    const float leftGliding = firstFrame(0.3f, 0.0f, gliding).first;
    const float rightGliding = firstFrame(0.0f, 0.3f, gliding).second;
    const float rightFrozen = firstFrame(0.0f, 0.3f, frozen).second;
    EXPECT_EQ(leftGliding, rightFrozen);
    EXPECT_NE(rightGliding, rightFrozen);
}

// A loud input sweeps the band up in mode UP and down in mode DOWN; when the
// input stops, the detector falls and the band returns.
TEST(FilterModule, LoudInputSweepsTheBand)
{
    auto levelAt = [](float mode, float hz) {
        FilterModule filter;
        filter.setParameter(FilterModule::onSwitch, 1.0f);
        filter.setParameter(FilterModule::modeSwitch, mode);
        filter.setSampleRate(rate);
        const int32_t frames = 8000;
        StereoFrames audio = sine(hz, 0.4f, frames, rate);
        filter.process(audio.samples.data(), frames, 0.0);
        return rms(audio, 0, frames / 2, frames / 2);
    };
    EXPECT_GT(levelAt(1.0f, 3000.0f), 4.0 * levelAt(0.0f, 3000.0f));
    EXPECT_GT(levelAt(0.0f, 300.0f), 4.0 * levelAt(1.0f, 300.0f));
}

TEST_F(FilterTest, DetectorReleasesAfterTheInputStops)
{
    for (int32_t i = 0; i < 100; ++i)
        frame(0.5f, -0.5f);
    ASSERT_EQ(filter.getLfoLamp(), 7);
    int32_t framesToIdle = 0;
    while (filter.getLfoLamp() == 7 && framesToIdle < 44100) {
        frame(0.0f, 0.0f);
        ++framesToIdle;
    }
    // Hold 0.75 releases at e^6 per second: from 1.001 to the threshold 0.125
    // takes ln(1 / 0.124) x 44100 / e^6 = 228.2 frames.
    EXPECT_EQ(framesToIdle, 229);
}

// A loud input against the highest threshold throws the frequency between
// far-apart limits many times a second. At low rates, where the upper limit
// lies near the sections' stability limit and the fastest glide moves most of
// the way in a frame, the sections once grew without end.
TEST(FilterModule, AFrequencyThrownBetweenItsLimitsStaysBounded)
{
    const float settings[][8] = {
        // on, Thresh, Reso, Mode, *Min F, *Max F, *Speed, *Hold
        {1.0f, 1.0f, 1.0f, 0.23f, 1.0f, 0.044f, 1.0f, 1.0f},
        {1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.826f},
        {1.0f, 0.69f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.755f},
    };
    for (const float sampleRate : {8000.0f, 11025.0f}) {
        for (const auto& setting : settings) {
            FilterModule filter;
            for (int32_t slot = 0; slot < 8; ++slot)
                filter.setParameter(slot, setting[slot]);
            filter.setSampleRate(sampleRate);
            for (const StereoFrames& input :
                 {noise(static_cast<int32_t>(5 * sampleRate), 1.0f), sine(382.0f, 1.0f, 5 * 8000, 8000.0f)}) {
                StereoFrames s = input;
                s.process(filter);
                float peak = 0.0f;
                for (const float sample : s.samples)
                    peak = std::max(peak, std::fabs(sample));
                EXPECT_LT(peak, 20.0f) << sampleRate << " Hz, thresh " << setting[1] << ", mode " << setting[3];
            }
        }
    }
}

} // namespace
} // namespace voltara
