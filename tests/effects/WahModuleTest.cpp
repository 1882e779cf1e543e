#include "effects/WahModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;
constexpr int32_t holdFrames = 499 * 32; // frames the LFO stays parked after a reset

struct WahTest : ::testing::Test {
    WahModule wah;
    void SetUp() override
    {
        wah.setSampleRate(rate);
        wah.setParameter(WahModule::onSwitch, 1.0f);
    }
    void run(int32_t frames)
    {
        std::vector<float> silence(2 * static_cast<size_t>(frames));
        wah.process(silence.data(), frames, 0.0);
    }
};

TEST(WahModule, NamesAndDefaults)
{
    WahModule wah;
    const char* const names[8] = {"WAH", "Sync", "Rate", "Q", "Pedal", "*Max", "*Dirt", ""};
    const float defaults[8] = {0.0f, 0.0f, 0.4f, 0.5f, 0.0f, 1.0f, 0.7f, 0.0f};
    expectSlots(wah, "Wah", names, defaults);
}

TEST(WahModule, Texts)
{
    WahModule wah;
    wah.setSampleRate(rate);
    const TextCase table[] = {
        {0, 0.5f, "OFF"},      {0, 0.51f, "ON"},     {1, 0.5f, "OFF"},    {2, 0.4f, "2.56 Hz"},
        {2, 1.0f, "16.00 Hz"}, {2, 0.0f, "0.00 Hz"}, {3, 0.5f, "  50 %"}, {4, 0.0f, "   0 %"},
        {5, 1.0f, " 100 %"},   {6, 0.7f, "  70 %"},  {7, 0.3f, ""},       {8, 0.0f, ""},
    };
    expectTexts(wah, table);
    wah.setParameter(WahModule::syncSwitch, 1.0f);
    const struct {
        float value;
        const char* text;
    } notes[] = {{0.0628f, "16/4"}, {0.0629f, "8/4"}, {1.0f, "1/32"}, {0.33f, "1/4*"}};
    for (const auto& row : notes) {
        wah.setParameter(WahModule::rateKnob, row.value);
        EXPECT_EQ(parameterText(wah, 2), row.text) << row.value;
    }
}

TEST(WahModule, HugeValueTextStaysInsideTheBuffer)
{
    WahModule wah;
    wah.setParameter(WahModule::qKnob, 1e30f);
    char buffer[12];
    std::fill(buffer, buffer + 12, 'x');
    wah.getParameterText(3, buffer);
    EXPECT_EQ(std::string(buffer).size(), 9u);
    EXPECT_EQ(buffer[10], 'x');
    EXPECT_EQ(wah.getParameter(3), 1e30f);
}

// A reset parks the LFO for 500 control steps, the first of which runs on the
// first frame; the LFO first speaks on step 500.
TEST_F(WahTest, PedalHoldAfterReset)
{
    run(holdFrames);
    EXPECT_EQ(wah.getLfoLamp(), 0);
    run(1);
    EXPECT_EQ(wah.getLfoLamp(), 4); // phase near 0: lower clip
}

TEST_F(WahTest, PedalChangeParksTheLfoAgain)
{
    wah.setParameter(WahModule::rateKnob, 1.0f); // 16 Hz: a cycle takes 86 control steps
    wah.setParameter(WahModule::pedalKnob, 0.0f);
    run(holdFrames + 1);
    for (int32_t step = 0; step < 100 && wah.getLfoLamp() != 7; ++step)
        run(32);
    ASSERT_EQ(wah.getLfoLamp(), 7);
    wah.setParameter(WahModule::pedalKnob, 0.0f);
    for (int32_t step = 0; step < 499; ++step) {
        run(32);
        ASSERT_EQ(wah.getLfoLamp(), 7) << "no LFO while the pedal holds, step " << step;
    }
    for (int32_t step = 0; step < 100 && wah.getLfoLamp() == 7; ++step)
        run(32);
    EXPECT_EQ(wah.getLfoLamp(), 4);
}

// The resonance follows the pedal: with the LFO stopped (Rate 0) it moves
// from about 300 Hz (pedal down) to about 2.4 kHz (pedal up).
TEST(WahModule, BandMovesWithThePedal)
{
    auto loudestTone = [](float pedal) {
        const float tones[] = {150.0f, 300.0f, 500.0f, 800.0f, 1200.0f, 1800.0f, 2400.0f, 3200.0f};
        float loudest = 0.0f;
        float best = 0.0f;
        for (float hz : tones) {
            WahModule wah;
            wah.setParameter(WahModule::onSwitch, 1.0f);
            wah.setParameter(WahModule::rateKnob, 0.0f);
            wah.setParameter(WahModule::pedalKnob, pedal);
            wah.setSampleRate(rate);
            StereoFrames audio = sine(hz, 0.05f, 44100, rate);
            wah.process(audio.samples.data(), 44100, 0.0);
            const float level = rms(audio, 0, 34100, 10000);
            if (level > best) {
                best = level;
                loudest = hz;
            }
        }
        return loudest;
    };
    EXPECT_EQ(loudestTone(0.0f), 300.0f);
    EXPECT_EQ(loudestTone(0.5f), 800.0f);
    EXPECT_EQ(loudestTone(1.0f), 2400.0f);
}

// Rate 0: the phase is forced to 0 every block, so the sweep rests on the
// pedal alone, in free and in synchronised mode.
TEST(WahModule, RateZeroFollowsPedalOnly)
{
    for (float syncValue : {0.0f, 1.0f}) {
        WahModule wah;
        wah.setParameter(WahModule::onSwitch, 1.0f);
        wah.setParameter(WahModule::syncSwitch, syncValue);
        wah.setParameter(WahModule::rateKnob, 0.0f);
        wah.setSampleRate(rate);
        wah.setTempo(120.0 / (60.0 * rate), 4.0);
        for (int32_t block = 0; block < 200; ++block) {
            float frames[2 * 512] = {};
            wah.process(frames, 512, block * 512 * 120.0 / (60.0 * rate));
            if (block * 512 > holdFrames + 32) {
                ASSERT_EQ(wah.getLfoLamp(), 4) << syncValue << " " << block;
            }
        }
    }
}

// Dirt 1.0 limits the band state to 0.05 and soft-clips it to two thirds of
// that, so the low state can move by at most F x 0.0333 per frame.
TEST(WahModule, DirtLimitsTheBand)
{
    auto largestLowStep = [](float dirt) {
        WahModule wah;
        wah.setParameter(WahModule::onSwitch, 1.0f);
        wah.setParameter(WahModule::rateKnob, 0.0f); // F rests at 1900 Hz / rate
        wah.setParameter(WahModule::dirtKnob, dirt);
        wah.setSampleRate(rate);
        StereoFrames audio = sine(300.0f, 1.0f, 4000, rate);
        const StereoFrames input = audio;
        wah.process(audio.samples.data(), 4000, 0.0);
        // output = 0.5 x input low-pass + low
        float inputLow = 0.0f;
        float previousLow = 0.0f;
        float largest = 0.0f;
        for (int32_t i = 0; i < 4000; ++i) {
            inputLow += (input.left(i) - inputLow) * (10000.0f / rate);
            const float low = audio.left(i) - 0.5f * inputLow;
            largest = std::max(largest, std::fabs(low - previousLow));
            previousLow = low;
        }
        return largest;
    };
    const float bound = 1900.0f / rate * (0.05f * 2.0f / 3.0f);
    const float limited = largestLowStep(1.0f);
    EXPECT_LE(limited, bound * 1.001f);
    EXPECT_GT(limited, bound * 0.9f);
    EXPECT_GT(largestLowStep(0.0f), 5.0f * bound);
}

TEST(WahModule, ResetRecomputesForTheNewRate)
{
    WahModule before;
    WahModule after;
    before.setSampleRate(rate);
    const float values[] = {1.0f, 0.0f, 0.9f, 0.8f, 0.3f, 0.6f, 0.2f, 0.0f};
    for (int32_t slot = 0; slot < 8; ++slot)
        before.setParameter(slot, values[slot]);
    before.setSampleRate(96000.0f);
    after.setSampleRate(96000.0f);
    for (int32_t slot = 0; slot < 8; ++slot)
        after.setParameter(slot, values[slot]);
    StereoFrames a = sine(330.0f, 0.5f, 20000, rate);
    StereoFrames b = a;
    before.process(a.samples.data(), 20000, 0.0);
    after.process(b.samples.data(), 20000, 0.0);
    EXPECT_EQ(a.samples, b.samples);
}

} // namespace
} // namespace voltara
