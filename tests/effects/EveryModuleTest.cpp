#include "effects/ChorusModule.h"
#include "effects/DelayModule.h"
#include "effects/FilterModule.h"
#include "effects/FlangerModule.h"
#include "effects/PhaserModule.h"
#include "effects/ReverbModule.h"
#include "effects/TremoloModule.h"
#include "effects/WahModule.h"
#include "tests/effects/FailingAllocation.h"
#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <type_traits>
#include <vector>

namespace voltara {
namespace {

template <class Module>
struct EveryModule : ::testing::Test {
    // The modules that keep delay lines, and pass audio through without them.
    static constexpr bool keepsLines =
        std::is_same_v<
            Module,
            FlangerModule> || std::is_same_v<Module, ChorusModule> || std::is_same_v<Module, DelayModule> || std::is_same_v<Module, ReverbModule>;

    Module module;
};

using Modules = ::testing::Types<WahModule, FilterModule, PhaserModule, FlangerModule, ChorusModule, DelayModule,
                                 ReverbModule, TremoloModule>;
TYPED_TEST_SUITE(EveryModule, Modules);

// Slots 1 to 7: every knob and switch at its top, at its bottom, the two
// alternations of the two, and settings drawn at random (the same every run).
std::vector<std::array<float, 7>> hostileSettings()
{
    std::vector<std::array<float, 7>> settings = {
        {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
        {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
        {1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f},
        {0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f},
    };
    std::mt19937 random(15);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int32_t n = 0; n < 4; ++n) {
        std::array<float, 7> setting;
        for (float& v : setting)
            v = random() % 3 == 0 ? static_cast<float>(random() % 2) : value(random);
        settings.push_back(setting);
    }
    return settings;
}

// Full-scale noise at rates from 8 to 384 kHz (the rack's range), following
// the slowest, a middle and the fastest tempo the rack takes: at the lowest
// rates the filters' corners reach their stability limits, at the highest the
// lines are longest, at the fastest tempo a synchronised LFO moves further
// in a control block than its whole cycle. The loudest, the reverb at 8 kHz,
// stays below 40.
TYPED_TEST(EveryModule, StaysFiniteAndBoundedAtEveryRate)
{
    auto& module = this->module;
    const auto settings = hostileSettings();
    for (const float rate : {8000.0f, 11025.0f, 22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f}) {
        for (const auto& setting : settings) {
            for (const double tempo : {1.0, 120.0, 10000.0}) {
                module.setParameter(FxModule::onSwitch, 1.0f);
                for (int32_t slot = 1; slot < FxModule::slotCount; ++slot)
                    module.setParameter(slot, setting[slot - 1]);
                module.setSampleRate(rate);
                module.setTempo(tempo / (60.0 * rate), 4.0);
                StereoFrames s = noise(static_cast<int32_t>(rate / 4), 1.0f);
                s.process(module, 300);
                float peak = 0.0f;
                for (const float sample : s.samples)
                    peak = std::max(peak, std::fabs(sample));
                EXPECT_TRUE(allFinite(s)) << rate << " Hz, " << tempo << " bpm, " << setting[0] << setting[1];
                EXPECT_LT(peak, 40.0f) << rate << " Hz, " << tempo << " bpm, " << setting[0] << setting[1];
            }
        }
    }
}

TYPED_TEST(EveryModule, FarOutValuesNeitherCrashNorOverrunTexts)
{
    auto& module = this->module;
    module.setParameter(FxModule::onSwitch, 1.0f);
    module.setSampleRate(44100.0f);
    for (const float value : {-1e30f, 1e30f, std::numeric_limits<float>::quiet_NaN(), 7.0f, -2.0f}) {
        for (int32_t slot = 1; slot < FxModule::slotCount; ++slot)
            module.setParameter(slot, value);
        module.setSampleRate(44100.0f);
        StereoFrames s = noise(3000, 0.5f);
        s.process(module);
        module.setTempo(0.0, 4.0);
        s.process(module);
        for (int32_t slot = -1; slot < FxModule::slotCount; ++slot) {
            char text[64];
            std::memset(text, 'x', sizeof text);
            module.getParameterText(slot, text);
            EXPECT_LE(std::strlen(text), 9u) << slot << " " << value;
            module.getParameterName(slot, text);
            EXPECT_LE(std::strlen(text), 9u) << slot;
        }
        EXPECT_GE(module.getLfoLamp(), 0) << value;
        EXPECT_LE(module.getLfoLamp(), 7) << value;
    }
}

TYPED_TEST(EveryModule, OffAtOneHalfLeavesAudioAndLampUntouched)
{
    auto& module = this->module;
    module.setSampleRate(44100.0f);
    module.setParameter(FxModule::onSwitch, 0.5f);
    const int32_t lamp = module.getLfoLamp();
    const StereoFrames dry = sine(440.0f, 0.5f, 64, 44100.0f);
    StereoFrames s = dry;
    s.process(module);
    EXPECT_EQ(s.samples, dry.samples);
    EXPECT_EQ(module.getLfoLamp(), lamp);
}

// A new rate that gets no memory for the lines leaves the module passing
// audio through untouched (a module without lines works as ever); the next
// rate that gets memory makes it whole again.
TYPED_TEST(EveryModule, FailedAllocationPassesAudioThroughUntilTheRateIsSetAgain)
{
    TypeParam usual;
    usual.setParameter(FxModule::onSwitch, 1.0f);
    usual.setSampleRate(44100.0f);
    const StereoFrames dry = noise(20000, 0.5f);
    StereoFrames expected = dry;
    expected.process(usual);

    auto& module = this->module;
    module.setParameter(FxModule::onSwitch, 1.0f);
    {
        FailingAllocation failing;
        module.setSampleRate(44100.0f);
    }
    StereoFrames s = dry;
    s.process(module);
    EXPECT_EQ(s.samples, this->keepsLines ? dry.samples : expected.samples);

    module.setSampleRate(44100.0f);
    s = dry;
    s.process(module);
    if (!this->keepsLines) { // then both have come the same way
        usual.setSampleRate(44100.0f);
        expected = dry;
        expected.process(usual);
    }
    EXPECT_EQ(s.samples, expected.samples);
}

// A reset (what the rack does on the audio thread to a module switched off)
// starts the module afresh at the rate it has, exactly as setting that rate
// does, but never allocates: not even when its lines could not be had.
TYPED_TEST(EveryModule, ResetStartsAfreshWithoutAllocating)
{
    auto& module = this->module;
    module.setParameter(FxModule::onSwitch, 1.0f);
    module.setSampleRate(48000.0f);
    const StereoFrames dry = noise(6000, 0.5f);
    StereoFrames s = dry;
    s.process(module);
    module.setSampleRate(48000.0f);
    StereoFrames expected = dry;
    expected.process(module);

    s = dry;
    s.process(module);
    const int64_t before = FailingAllocation::attempts();
    module.reset();
    s = dry;
    s.process(module);
    EXPECT_EQ(FailingAllocation::attempts(), before);
    EXPECT_EQ(s.samples, expected.samples);

    {
        FailingAllocation failing;
        module.setSampleRate(44100.0f);
    }
    const int64_t afterFailure = FailingAllocation::attempts();
    module.reset();
    EXPECT_EQ(FailingAllocation::attempts(), afterFailure);
    if (this->keepsLines) {
        s = dry;
        s.process(module);
        EXPECT_EQ(s.samples, dry.samples);
    }
}

template <class Module>
struct ModuleWithLines : EveryModule<Module> {
};

using WithLines = ::testing::Types<FlangerModule, ChorusModule, DelayModule, ReverbModule>;
TYPED_TEST_SUITE(ModuleWithLines, WithLines);

TYPED_TEST(ModuleWithLines, ResetSilencesTheLines)
{
    auto& module = this->module;
    module.setParameter(FxModule::onSwitch, 1.0f);
    module.setSampleRate(44100.0f);
    StereoFrames s = noise(20000, 0.5f);
    s.process(module);
    module.setSampleRate(44100.0f);
    StereoFrames quiet(20000);
    quiet.process(module);
    for (float sample : quiet.samples)
        ASSERT_EQ(sample, 0.0f);
}

// Rates too low to hold one frame of line, too high to allocate, or not rates
// at all get no lines: audio passes through until a usable rate comes back.
TYPED_TEST(ModuleWithLines, PassesAudioThroughWithoutItsLines)
{
    auto& module = this->module;
    module.setParameter(FxModule::onSwitch, 1.0f);
    for (const float unusable : {0.5f, 1e12f, 0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN()}) {
        module.setSampleRate(unusable);
        const StereoFrames dry = noise(2000, 0.5f);
        StereoFrames s = dry;
        s.process(module);
        EXPECT_EQ(s.samples, dry.samples) << unusable;
    }
    module.setSampleRate(44100.0f);
    const StereoFrames dry = noise(40000, 0.5f);
    StereoFrames s = dry;
    s.process(module);
    EXPECT_NE(s.samples, dry.samples);
}

} // namespace
} // namespace voltara
