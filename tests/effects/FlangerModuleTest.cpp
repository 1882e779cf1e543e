#include "effects/FlangerModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;

// A flanger switched on with no feedback and a full wet mix, so that
// output = 0.7 x (input - delayed input).
struct FlangerTest : ::testing::Test {
    FlangerModule flanger;
    void SetUp() override { configure(rate); }
    void configure(float sampleRate)
    {
        flanger.setParameter(FlangerModule::onSwitch, 1.0f);
        flanger.setParameter(FlangerModule::feedbackKnob, 0.0f);
        flanger.setSampleRate(sampleRate);
    }
    // Left output of an impulse on the left input at frame 0 of a block.
    std::vector<float> impulse(int32_t frames, double songPos = 0.0)
    {
        std::vector<float> audio(2 * static_cast<size_t>(frames));
        audio[0] = 1.0f;
        flanger.process(audio.data(), frames, songPos);
        std::vector<float> left(frames);
        for (int32_t i = 0; i < frames; ++i)
            left[i] = audio[2 * i];
        return left;
    }
};

TEST(FlangerModule, NamesDefaultsAndTexts)
{
    FlangerModule flanger;
    flanger.setSampleRate(rate);
    const char* const names[8] = {"FLANGE", "Sync", "Rate", "Fbk", "*Mix", "*Depth", "*Min", ""};
    const float defaults[8] = {0.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.25f, 0.5f, 0.0f};
    expectSlots(flanger, "Flanger", names, defaults);

    const TextCase table[] = {
        {0, 0.5f, "OFF"},     {0, 0.51f, "ON"},   {1, 0.5f, "OFF"}, {2, 1.0f, "10.00 Hz"},
        {2, 0.0f, "0.05 Hz"}, {3, 1.0f, "100 %"}, {4, 0.0f, "0 %"}, {5, 0.25f, "25 %"},
        {6, 0.5f, "50 %"},    {7, 0.4f, ""},      {8, 0.0f, ""},
    };
    expectTexts(flanger, table);
    flanger.setParameter(FlangerModule::syncSwitch, 1.0f);
    const struct {
        float value;
        const char* text;
    } notes[] = {{0.0628f, "16/4"}, {0.0629f, "8/4"}, {1.0f, "1/32"}, {0.7f, "1/16*"}};
    for (const auto& row : notes) {
        flanger.setParameter(FlangerModule::rateKnob, row.value);
        EXPECT_EQ(parameterText(flanger, 2), row.text) << row.value;
    }
}

// A centre far beyond the line keeps the reader at the slot of frame 0 until
// the writer comes round again: the delayed impulse then lasts exactly one
// line length.
TEST_F(FlangerTest, LineLengthFollowsTheSampleRate)
{
    const struct {
        float sampleRate;
        int32_t frames; // trunc(0.013 x rate)
    } table[] = {{44100.0f, 573}, {8000.0f, 104}, {48000.0f, 624}, {96000.0f, 1248}, {384000.0f, 4992}};
    for (const auto& row : table) {
        flanger.setParameter(FlangerModule::minKnob, 50.0f);
        configure(row.sampleRate);
        const std::vector<float> left = impulse(row.frames + 10);
        EXPECT_EQ(left[0], 0.0f);
        int32_t held = 0;
        while (held + 1 < static_cast<int32_t>(left.size()) && left[held + 1] == -0.7f)
            ++held;
        EXPECT_EQ(held + 1, row.frames) << row.sampleRate;
        EXPECT_EQ(left[row.frames], 0.0f) << row.sampleRate;
    }
}

// The first frame after a reset re-plans, and then every 256 frames: seen in
// the lamp at 16 kHz and 10 Hz, where the phase steps 0.32 per plan.
TEST_F(FlangerTest, FirstFrameAfterResetReplans)
{
    flanger.setParameter(FlangerModule::rateKnob, 1.0f);
    configure(16000.0f);
    EXPECT_EQ(flanger.getLfoLamp(), 1);
    float frames[2 * 256] = {};
    flanger.process(frames, 1, 0.0);
    EXPECT_EQ(flanger.getLfoLamp(), 3); // 1 + trunc(6.9 x 0.32)
    flanger.process(frames, 255, 0.0);
    EXPECT_EQ(flanger.getLfoLamp(), 3);
    flanger.process(frames, 1, 0.0);
    EXPECT_EQ(flanger.getLfoLamp(), 5); // 1 + trunc(6.9 x 0.64)
}

// "*Min" 0.5 puts the centre at 0, so the delay is |phase| x depth. Without a
// host tempo the synchronised phase stands still at fmod(2 x pos, 2) - 1 for
// "1/4", and the reader settles on the planned delay.
TEST_F(FlangerTest, DelayFollowsThePlannedTarget)
{
    flanger.setParameter(FlangerModule::syncSwitch, 1.0f);
    flanger.setParameter(FlangerModule::rateKnob, 0.5f);             // "1/4"
    flanger.setParameter(FlangerModule::depthKnob, 100.0f / 264.6f); // depth 100 frames
    const struct {
        double songPos;
        float delay; // frames
    } table[] = {{0.5, 0.0f}, {0.25, 50.0f}, {0.0, 100.0f}, {0.875, 75.0f}};
    for (const auto& row : table) {
        configure(rate);
        std::vector<float> settle(2 * 4096);
        flanger.process(settle.data(), 4096, row.songPos);
        const std::vector<float> left = impulse(400, row.songPos);
        if (row.delay == 0.0f) {
            for (float sample : left)
                ASSERT_EQ(sample, 0.0f) << "a zero delay cancels the input";
            continue;
        }
        // Centre of gravity of the delayed copy (the impulse itself is at 0).
        double weight = 0.0;
        double moment = 0.0;
        for (int32_t i = 1; i < 400; ++i) {
            weight += left[i];
            moment += left[i] * i;
        }
        EXPECT_NEAR(weight, -0.7, 1e-4) << row.songPos;
        EXPECT_NEAR(moment / weight, row.delay, 0.02) << row.songPos;
    }
}

// Each channel is fed back into the other, inverted and scaled by 0.81 at
// "Fbk" 1.0.
TEST_F(FlangerTest, CrossFeedback)
{
    flanger.setParameter(FlangerModule::syncSwitch, 1.0f);
    flanger.setParameter(FlangerModule::rateKnob, 0.5f);
    flanger.setParameter(FlangerModule::feedbackKnob, 1.0f);
    flanger.setParameter(FlangerModule::depthKnob, 100.0f / 264.6f);
    flanger.setSampleRate(rate);
    std::vector<float> audio(2 * 4096);
    flanger.process(audio.data(), 4096, 0.0); // delay settles on 100 frames
    audio.assign(2 * 250, 0.0f);
    audio[0] = 1.0f;
    flanger.process(audio.data(), 250, 0.0);
    double right = 0.0;
    for (int32_t i = 0; i < 250; ++i)
        right += audio[2 * i + 1];
    // right written = -0.81 x delayed left; right out = -0.7 x its delayed copy
    EXPECT_NEAR(right, 0.7 * 0.81, 1e-4);
}

} // namespace
} // namespace voltara
