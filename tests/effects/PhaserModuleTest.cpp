#include "effects/PhaserModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;
constexpr int32_t window = 1024; // frames per level reading

// RMS per window of one channel (0 left, 1 right).
std::vector<float> windowLevels(const StereoFrames& audio, int32_t channel)
{
    std::vector<float> levels;
    for (int32_t start = 0; start + window <= audio.frames(); start += window)
        levels.push_back(rms(audio, channel, start, window));
    return levels;
}

// Three seconds of an 800 Hz tone through a phaser switched on with the given
// "*Max" and "*Stereo".
StereoFrames sweep(float maxValue, float stereo)
{
    PhaserModule phaser;
    phaser.setParameter(PhaserModule::onSwitch, 1.0f);
    phaser.setParameter(PhaserModule::maxKnob, maxValue);
    phaser.setParameter(PhaserModule::stereoKnob, stereo);
    phaser.setSampleRate(rate);
    const int32_t frames = 3 * 44100;
    StereoFrames audio = sine(800.0f, 0.5f, frames, rate);
    phaser.process(audio.samples.data(), frames, 0.0);
    return audio;
}

TEST(PhaserModule, NamesDefaultsAndTexts)
{
    PhaserModule phaser;
    phaser.setSampleRate(rate);
    const char* const names[8] = {"PHASER", "Sync", "Rate", "Color", "*Max", "*Min", "*Stereo", ""};
    const float defaults[8] = {0.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.2f, 0.0f, 0.0f};
    expectSlots(phaser, "Phaser", names, defaults);

    const TextCase table[] = {
        {0, 0.5f, "OFF"},     {0, 0.51f, "ON"},     {1, 0.5f, "OFF"},    {2, 1.0f, "10.00 Hz"},
        {2, 0.5f, "0.71 Hz"}, {2, 0.0f, "0.05 Hz"}, {3, 0.5f, "  50 %"}, {4, 1.0f, " 100 %"},
        {5, 0.2f, "  20 %"},  {6, 0.0f, "   0 %"},  {7, 0.4f, ""},       {8, 0.0f, ""},
    };
    expectTexts(phaser, table);
    phaser.setParameter(PhaserModule::syncSwitch, 1.0f);
    const struct {
        float value;
        const char* text;
    } notes[] = {{0.0628f, "16/4"}, {0.0629f, "8/4"}, {1.0f, "1/32"}, {0.5f, "1/4"}};
    for (const auto& row : notes) {
        phaser.setParameter(PhaserModule::rateKnob, row.value);
        EXPECT_EQ(parameterText(phaser, 2), row.text) << row.value;
    }
}

// The first frame after a reset: the coefficient has ramped only 1/32 of the
// way, so the all-pass chain barely passes the impulse and the dry gain shows.
TEST(PhaserModule, ColorRegimes)
{
    const struct {
        float color;
        float dryGain;
    } table[] = {
        {0.5f, 0.7f},          // second regime from exactly 0.5: no feedback, 0.7 each
        {0.4999f, 0.7070586f}, // first regime: 1 - 0.586 x color
        {1.0f, 0.575f},
        {0.0f, 1.0f},
    };
    for (const auto& row : table) {
        PhaserModule phaser;
        phaser.setParameter(PhaserModule::onSwitch, 1.0f);
        phaser.setParameter(PhaserModule::colorKnob, row.color);
        phaser.setSampleRate(rate);
        float frame[2] = {1.0f, 1.0f};
        phaser.process(frame, 1, 0.0);
        EXPECT_NEAR(frame[0], row.dryGain, 1e-5f) << row.color;
    }
}

TEST(PhaserModule, NotchesMoveWithTheLfo)
{
    const std::vector<float> swept = windowLevels(sweep(1.0f, 0.0f), 0);
    const auto sweptRange = std::minmax_element(swept.begin() + 10, swept.end());
    EXPECT_GT(*sweptRange.second, 10.0f * *sweptRange.first);

    const std::vector<float> still = windowLevels(sweep(0.0f, 0.0f), 0);
    const auto stillRange = std::minmax_element(still.begin() + 10, still.end());
    EXPECT_LT(*stillRange.second, 1.05f * *stillRange.first);
}

TEST(PhaserModule, StereoOffset)
{
    const StereoFrames same = sweep(1.0f, 0.0f);
    for (int32_t i = 0; i < same.frames(); ++i)
        ASSERT_EQ(same.left(i), same.right(i)) << i;

    // Half a cycle apart: where the left channel sits in its notch, the right
    // one is far from it.
    const StereoFrames opposite = sweep(1.0f, 1.0f);
    const std::vector<float> left = windowLevels(opposite, 0);
    const std::vector<float> right = windowLevels(opposite, 1);
    const size_t deepest = std::min_element(left.begin() + 10, left.end()) - left.begin();
    EXPECT_GT(right[deepest], 5.0f * left[deepest]);
}

// Without a host tempo the synchronised LFO holds the phase that the song
// position gives at each block start: (pos + 0.75) x 2 cycles per beat, wrapped.
TEST(PhaserModule, SyncWithoutTempoFollowsTheSongPosition)
{
    PhaserModule phaser;
    phaser.setParameter(PhaserModule::onSwitch, 1.0f);
    phaser.setParameter(PhaserModule::syncSwitch, 1.0f);
    phaser.setParameter(PhaserModule::rateKnob, 0.5f); // "1/4": one cycle per beat
    phaser.setSampleRate(rate);
    const struct {
        double songPos;
        int32_t lamp; // 1 + trunc(6.9 |phase|)
    } table[] = {{0.0, 4}, {0.25, 7}, {0.75, 1}, {1.0, 4}, {0.4, 5}};
    for (const auto& row : table) {
        float frames[2 * 100] = {};
        phaser.process(frames, 100, row.songPos);
        EXPECT_EQ(phaser.getLfoLamp(), row.lamp) << row.songPos;
    }
}

} // namespace
} // namespace voltara
