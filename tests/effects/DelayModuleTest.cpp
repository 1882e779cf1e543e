#include "effects/DelayModule.h"
#include "effects/FlutterNoise.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;
constexpr int32_t settle = 1024; // frames for the flutter line to reach its planned delay

// Free time T asks for (2.45 T^2 + 0.05) seconds.
float freeDelay(float t)
{
    return (2.45f * (t * t) + 0.05f) * rate;
}

int32_t freeDelayFrames(float t)
{
    return static_cast<int32_t>(freeDelay(t));
}

// A delay switched on at 44.1 kHz with the given mode and feedback; the
// flutter stays at its fixed delay unless a test turns "*Max Flut" up.
struct DelayFixture : ::testing::Test {
    void SetUp() override
    {
        FlutterNoise::setSource([]() -> int32_t { return 16384; });
    }
    void TearDown() override { FlutterNoise::setSource(nullptr); }

    void configure(float mode, float feedback, float time)
    {
        module.setParameter(DelayModule::onSwitch, 1.0f);
        module.setParameter(DelayModule::timeKnob, time);
        module.setParameter(DelayModule::modeKnob, mode);
        module.setParameter(DelayModule::feedbackKnob, feedback);
        module.setSampleRate(rate);
    }

    // Silence to settle the flutter line, then one impulse on both channels;
    // returns what follows the impulse.
    StereoFrames impulseResponse(int32_t frames)
    {
        StereoFrames quiet(settle);
        quiet.process(module);
        return voltara::impulseResponse(module, frames);
    }

    DelayModule module;
};

// First frame after the impulse where the channel carries an echo.
int32_t firstEcho(StereoFrames& s, bool left, int32_t from = 1)
{
    for (int32_t i = from; i < s.frames(); ++i)
        if ((left ? s.left(i) : s.right(i)) != 0.0f)
            return i;
    return -1;
}

TEST_F(DelayFixture, NamesDefaultsAndTexts)
{
    DelayModule fresh;
    const char* const names[] = {"DELAY", "Sync", "Time", "Mode", "Fbk", "Char", "Mix", "*Max Flut"};
    const float defaults[] = {0.0f, 0.0f, 0.5f, 0.4f, 0.5f, 0.5f, 0.5f, 0.0f};
    expectSlots(fresh, "Delay", names, defaults);
    EXPECT_EQ(fresh.getLfoLamp(), 0);
    EXPECT_EQ(parameterText(fresh, 4), " 50 %");
    EXPECT_EQ(parameterText(fresh, 7), "  0 %");

    const TextCase table[] = {
        {2, 1.0f, "2500 ms"}, {2, 0.0f, "50 ms"},  {3, 1.0f, "M.Tap"}, {3, 0.26f, "M.Head"},
        {3, 0.0f, "Mono"},    {3, 0.6f, "P.Pong"}, {1, 0.5f, "OFF"},   {6, 1.0f, "100 %"},
    };
    module.setSampleRate(rate);
    expectTexts(module, table);
    module.setParameter(DelayModule::syncSwitch, 1.0f);
    module.setParameter(DelayModule::timeKnob, 0.0f);
    EXPECT_EQ(parameterText(module, 2), "16/4");
}

TEST_F(DelayFixture, OverlongSyncedTimeIsHalvedUntilItFitsTheTape)
{
    configure(0.0f, 0.0f, 0.0f);
    module.setParameter(DelayModule::syncSwitch, 1.0f); // "16/4"
    module.setTempo(60.0 / (60.0 * rate), 4.0);
    // 705,600 samples requested; 88,200 fit the 132,300-sample tape.
    StereoFrames s = impulseResponse(90000);
    EXPECT_EQ(firstEcho(s, true), 88200);
    EXPECT_EQ(firstEcho(s, false), 88200);
}

TEST_F(DelayFixture, ImpulseGivesEchoesAtTheHeadOffsets)
{
    const float time = 0.1f;
    configure(1.0f, 0.0f, time); // M.Tap
    const float d = freeDelay(time);
    const int32_t t = freeDelayFrames(time);
    const int32_t tap1 = static_cast<int32_t>(1.5f * d);
    const int32_t tap2 = static_cast<int32_t>(1.333f * d);
    const int32_t tap3 = static_cast<int32_t>(0.75f * d);
    StereoFrames s = impulseResponse(tap1 + 100);
    // Left mixes heads 3, 2 and 1; right heads 3, 2 and 0.
    const struct {
        bool left;
        int32_t offset;
    } onsets[] = {{true, tap3}, {true, tap2}, {true, tap1}, {false, tap3}, {false, t}, {false, tap2}};
    EXPECT_EQ(firstEcho(s, true), tap3);
    EXPECT_EQ(firstEcho(s, false), tap3);
    for (const auto& onset : onsets) {
        const float before = onset.left ? s.left(onset.offset - 1) : s.right(onset.offset - 1);
        const float at = onset.left ? s.left(onset.offset) : s.right(onset.offset);
        EXPECT_LT(std::fabs(before), 1e-4f) << onset.offset;
        EXPECT_GT(std::fabs(at), 0.05f) << onset.offset;
    }
}

TEST_F(DelayFixture, PingPongAlternatesSides)
{
    const float time = 0.05f;
    configure(0.6f, 1.0f, time);
    const int32_t t = freeDelayFrames(time);
    StereoFrames s = impulseResponse(4 * t + 100);
    const auto loudest = [&](bool left, int32_t at) {
        float most = 0.0f;
        for (int32_t i = at; i < at + 50; ++i)
            most = std::max(most, std::fabs(left ? s.left(i) : s.right(i)));
        return most;
    };
    for (int32_t n = 1; n <= 4; ++n) {
        const bool leftTurn = n % 2 == 1; // left at t, 3t; right at 2t, 4t
        EXPECT_GT(loudest(leftTurn, n * t), 0.02f) << n;
        EXPECT_LT(loudest(!leftTurn, n * t), 1e-4f) << n;
    }
    EXPECT_EQ(firstEcho(s, true), t);
    EXPECT_EQ(firstEcho(s, false), 2 * t);
}

TEST_F(DelayFixture, ZeroFeedbackLeavesOneEcho)
{
    const float time = 0.3f;
    const int32_t t = freeDelayFrames(time);
    for (const float feedback : {0.0f, 0.5f}) {
        configure(0.0f, feedback, time);
        StereoFrames s = impulseResponse(2 * t + 100);
        EXPECT_EQ(firstEcho(s, true), t);
        EXPECT_GT(std::fabs(s.left(t)), 0.1f);
        // The filters leave a denormal residue on the tape, never an echo.
        float second = 0.0f;
        for (int32_t i = 2 * t - 5; i < 2 * t + 50; ++i)
            second = std::max(second, std::fabs(s.left(i)));
        if (feedback == 0.0f)
            EXPECT_LT(second, 1e-20f);
        else
            EXPECT_GT(second, 0.01f);
    }
}

TEST_F(DelayFixture, MixScalesTheEchoWithoutMovingIt)
{
    const float time = 0.1f;
    const int32_t t = freeDelayFrames(time);
    configure(0.0f, 0.5f, time);
    const float halfMix = impulseResponse(t + 10).left(t);
    configure(0.0f, 0.5f, time);
    module.setParameter(DelayModule::mixKnob, 1.0f);
    StereoFrames full = impulseResponse(t + 10);
    EXPECT_EQ(firstEcho(full, true), t);
    EXPECT_FLOAT_EQ(full.left(t), 2.0f * halfMix);
}

TEST_F(DelayFixture, FlutterFollowsTheRandomSource)
{
    const auto runWith = [this](FlutterNoise::Source source, float flutter) {
        FlutterNoise::setSource(source);
        configure(0.0f, 0.5f, 0.02f);
        module.setParameter(DelayModule::flutterKnob, flutter);
        StereoFrames s(20000);
        for (int32_t i = 0; i < s.frames(); ++i)
            s.left(i) = s.right(i) = std::sin(0.01f * static_cast<float>(i));
        s.process(module);
        return s.samples;
    };
    const FlutterNoise::Source high = []() -> int32_t { return 32767; };
    const FlutterNoise::Source low = []() -> int32_t { return 0; };
    // At "*Max Flut" 0 the draws change nothing; at 1.0 they move the echo.
    EXPECT_EQ(runWith(high, 0.0f), runWith(low, 0.0f));
    EXPECT_NE(runWith(high, 1.0f), runWith(low, 1.0f));
    EXPECT_EQ(runWith(high, 1.0f), runWith(high, 1.0f));
}

TEST(FlutterNoise, DrawsFifteenBits)
{
    for (int32_t i = 0; i < 1000; ++i) {
        const int32_t r = FlutterNoise::next();
        EXPECT_GE(r, 0);
        EXPECT_LE(r, 32767);
    }
}

} // namespace
} // namespace voltara
