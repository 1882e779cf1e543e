#include "effects/TremoloModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace voltara {
namespace {

// At 16 kHz the top rate, 16 Hz, is exactly 1000 frames per cycle.
constexpr float rate = 16000.0f;
constexpr int32_t cycle = 1000;

TEST(TremoloModule, NamesDefaultsAndTexts)
{
    TremoloModule module;
    const char* const names[] = {"TREM", "Sync", "Rate", "Depth", "-Width", "-Smooth", "", ""};
    const float defaults[] = {0.0f, 0.0f, 0.5f, 1.0f, 0.5f, 0.5f, 0.0f, 0.0f};
    expectSlots(module, "Tremolo", names, defaults);
    module.setSampleRate(rate);
    const TextCase table[] = {
        {2, 0.5f, "   8 Hz"}, {2, 1.0f, "  16 Hz"}, {3, 1.0f, "100 %"},
        {1, 1.0f, "ON"},      {2, 0.45f, "1/4"},    {6, 0.0f, ""},
    };
    expectTexts(module, table);
}

TEST(TremoloModule, FullDepthLeavesATenThousandth)
{
    TremoloModule module;
    module.setParameter(TremoloModule::onSwitch, 1.0f);
    // Synchronised without tempo: the phase stays where the song puts it.
    module.setParameter(TremoloModule::syncSwitch, 1.0f);
    module.setParameter(TremoloModule::rateKnob, 0.45f); // a quarter note
    module.setSampleRate(rate);
    StereoFrames s = constant(20000, 1.0f);
    module.process(s.samples.data(), s.frames(), 0.9); // phase 0.9: the low part
    EXPECT_NEAR(s.left(s.frames() - 1), 1e-4f, 5e-8f);
    EXPECT_GT(s.right(s.frames() - 1), 0.0f);
    EXPECT_EQ(module.getLfoLamp(), 3);
}

TEST(TremoloModule, WidthSetsTheShareOfTheCycleAtFullLevel)
{
    const struct {
        float width;
        float share;
    } table[] = {{0.0f, 0.25f}, {0.5f, 0.5f}, {1.0f, 0.75f}};
    for (const auto& row : table) {
        TremoloModule module;
        module.setParameter(TremoloModule::onSwitch, 1.0f);
        module.setParameter(TremoloModule::rateKnob, 1.0f);
        module.setParameter(TremoloModule::widthKnob, row.width);
        module.setParameter(TremoloModule::smoothKnob, 1.0f);
        module.setSampleRate(rate);
        StereoFrames s = constant(11 * cycle, 1.0f);
        s.process(module);
        int32_t loud = 0;
        for (int32_t i = cycle; i < s.frames(); ++i)
            loud += s.left(i) > 0.5f ? 1 : 0;
        EXPECT_NEAR(static_cast<float>(loud) / (10 * cycle), row.share, 0.01f) << row.width;
    }
}

TEST(TremoloModule, RateZeroFreezesThePhase)
{
    TremoloModule module;
    module.setParameter(TremoloModule::onSwitch, 1.0f);
    module.setParameter(TremoloModule::rateKnob, 0.0f);
    module.setSampleRate(rate);
    StereoFrames s = constant(20000, 1.0f);
    s.process(module);
    // From the reset the gain only rises toward the full level it stays at.
    for (int32_t i = 1; i < s.frames(); ++i)
        ASSERT_GE(s.left(i), s.left(i - 1));
    EXPECT_NEAR(s.left(s.frames() - 1), 1.0f, 1e-4f);
    EXPECT_EQ(module.getLfoLamp(), 7);
}

TEST(TremoloModule, ContinuesWhereItStoodAfterOffAndOn)
{
    const auto configured = [](TremoloModule& module) {
        module.setParameter(TremoloModule::onSwitch, 1.0f);
        module.setParameter(TremoloModule::rateKnob, 0.3f);
        module.setSampleRate(rate);
    };
    TremoloModule steady;
    TremoloModule toggled;
    configured(steady);
    configured(toggled);
    StereoFrames a = constant(3000, 1.0f);
    StereoFrames b = constant(3000, 1.0f);
    a.process(steady);
    b.process(toggled);

    toggled.setParameter(TremoloModule::onSwitch, 0.0f);
    StereoFrames untouched = constant(777, 1.0f);
    untouched.process(toggled);
    EXPECT_EQ(untouched.samples, constant(777, 1.0f).samples);
    toggled.setParameter(TremoloModule::onSwitch, 1.0f);

    a = constant(3000, 1.0f);
    b = constant(3000, 1.0f);
    a.process(steady);
    b.process(toggled);
    EXPECT_EQ(a.samples, b.samples);
}

TEST(TremoloModule, LampShowsFastRatesSteadily)
{
    TremoloModule module;
    module.setSampleRate(rate);
    const struct {
        float sync;
        float rateKnob;
        int32_t lamp;
    } table[] = {{0.0f, 0.61f, 6}, {0.0f, 0.6f, 7}, {1.0f, 0.7f, 7}, {1.0f, 0.76f, 6}};
    for (const auto& row : table) {
        module.setParameter(TremoloModule::syncSwitch, row.sync);
        module.setParameter(TremoloModule::rateKnob, row.rateKnob);
        EXPECT_EQ(module.getLfoLamp(), row.lamp) << row.sync << " " << row.rateKnob;
    }
}

} // namespace
} // namespace voltara
