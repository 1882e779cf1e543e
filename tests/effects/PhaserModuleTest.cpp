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

std::vector<float> stereoSine(float hz, int32_t frames)
{
    std::vector<float> buffer(2 * static_cast<size_t>(frames));
    for (int32_t i = 0; i < frames; ++i)
        buffer[2 * i] = buffer[2 * i + 1] = 0.5f * std::sin(6.2831853f * hz * i / rate);
    return buffer;
}

// RMS per window of one channel (0 left, 1 right).
std::vector<float> windowLevels(const std::vector<float>& audio, int32_t channel)
{
    std::vector<float> levels;
    for (size_t start = 0; start + 2 * window <= audio.size(); start += 2 * window) {
        double sum = 0.0;
        for (int32_t i = 0; i < window; ++i)
            sum += audio[start + 2 * i + channel] * audio[start + 2 * i + channel];
        levels.push_back(static_cast<float>(std::sqrt(sum / window)));
    }
    return levels;
}

// Three seconds of an 800 Hz tone through a phaser switched on with the given
// "*Max" and "*Stereo".
std::vector<float> sweep(float maxValue, float stereo)
{
    PhaserModule phaser;
    phaser.setParameter(0, 1.0f);
    phaser.setParameter(4, maxValue);
    phaser.setParameter(6, stereo);
    phaser.setSampleRate(rate);
    const int32_t frames = 3 * 44100;
    std::vector<float> audio = stereoSine(800.0f, frames);
    phaser.process(audio.data(), frames, 0.0);
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
    phaser.setParameter(1, 1.0f);
    const struct {
        float value;
        const char* text;
    } notes[] = {{0.0628f, "16/4"}, {0.0629f, "8/4"}, {1.0f, "1/32"}, {0.5f, "1/4"}};
    for (const auto& row : notes) {
        phaser.setParameter(2, row.value);
        EXPECT_EQ(parameterText(phaser, 2), row.text) << row.value;
    }
}

TEST(PhaserModule, SwitchAtOneHalfLeavesAudioUntouched)
{
    PhaserModule phaser;
    phaser.setSampleRate(rate);
    phaser.setParameter(0, 0.5f);
    std::vector<float> audio = stereoSine(440.0f, 64);
    const std::vector<float> original = audio;
    phaser.process(audio.data(), 64, 0.0);
    EXPECT_EQ(audio, original);
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
        phaser.setParameter(0, 1.0f);
        phaser.setParameter(3, row.color);
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
    const std::vector<float> same = sweep(1.0f, 0.0f);
    for (size_t i = 0; i < same.size(); i += 2)
        ASSERT_EQ(same[i], same[i + 1]) << i / 2;

    // Half a cycle apart: where the left channel sits in its notch, the right
    // one is far from it.
    const std::vector<float> opposite = sweep(1.0f, 1.0f);
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
    phaser.setParameter(0, 1.0f);
    phaser.setParameter(1, 1.0f);
    phaser.setParameter(2, 0.5f); // "1/4": one cycle per beat
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

TEST(PhaserModule, LampStaysInItsThreeBits)
{
    PhaserModule phaser;
    phaser.setParameter(0, 1.0f);
    phaser.setParameter(2, 3.0f); // far above 10 Hz: the phase leaves -1 .. +1
    phaser.setSampleRate(8000.0f);
    std::vector<float> audio(2 * 8000);
    phaser.process(audio.data(), 8000, 0.0);
    EXPECT_GE(phaser.getLfoLamp(), 1);
    EXPECT_LE(phaser.getLfoLamp(), 7);
}

TEST(PhaserModule, WorksAcrossSampleRates)
{
    for (float sampleRate : {8000.0f, 44100.0f, 96000.0f, 384000.0f}) {
        PhaserModule phaser;
        phaser.setParameter(0, 1.0f);
        phaser.setParameter(2, 1.0f);
        phaser.setParameter(3, 1.0f);
        phaser.setSampleRate(sampleRate);
        std::vector<float> audio = stereoSine(300.0f, 30000);
        phaser.process(audio.data(), 30000, 0.0);
        for (float sample : audio)
            ASSERT_TRUE(std::isfinite(sample) && std::fabs(sample) < 10.0f) << sampleRate;
    }
}

} // namespace
} // namespace voltara
