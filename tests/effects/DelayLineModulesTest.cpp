#include "effects/ChorusModule.h"
#include "effects/DelayModule.h"
#include "effects/ReverbModule.h"
#include "effects/TremoloModule.h"

#include "tests/effects/ModuleTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace voltara {
namespace {

StereoFrames noise(int32_t frames)
{
    StereoFrames s(frames);
    uint32_t state = 12345;
    for (float& sample : s.samples) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
    }
    return s;
}

bool allFinite(const StereoFrames& s)
{
    for (float sample : s.samples)
        if (!std::isfinite(sample))
            return false;
    return true;
}

template <class Module>
struct EveryModule : ::testing::Test {
    Module module;
};

using Modules = ::testing::Types<ChorusModule, DelayModule, ReverbModule, TremoloModule>;
TYPED_TEST_SUITE(EveryModule, Modules);

TYPED_TEST(EveryModule, RunsAtEverySupportedRate)
{
    auto& module = this->module;
    module.setParameter(0, 1.0f);
    for (const float rate : {8000.0f, 22050.0f, 44100.0f, 96000.0f, 192000.0f, 384000.0f}) {
        for (int32_t slot = 1; slot < 8; ++slot)
            module.setParameter(slot, 1.0f);
        module.setSampleRate(rate);
        StereoFrames s = noise(static_cast<int32_t>(rate / 4));
        s.process(module, 300);
        EXPECT_TRUE(allFinite(s)) << rate;
        for (int32_t slot = 1; slot < 8; ++slot)
            module.setParameter(slot, 0.0f);
        s.process(module, 300);
        EXPECT_TRUE(allFinite(s)) << rate;
    }
}

TYPED_TEST(EveryModule, FarOutValuesNeitherCrashNorOverrunTexts)
{
    auto& module = this->module;
    module.setParameter(0, 1.0f);
    module.setSampleRate(44100.0f);
    for (const float value : {-1e30f, 1e30f, std::numeric_limits<float>::quiet_NaN(), 7.0f, -2.0f}) {
        for (int32_t slot = 1; slot < 8; ++slot)
            module.setParameter(slot, value);
        module.setSampleRate(44100.0f);
        StereoFrames s = noise(3000);
        s.process(module);
        module.setTempo(0.0, 4.0);
        s.process(module);
        for (int32_t slot = -1; slot < 8; ++slot) {
            char text[64];
            std::memset(text, 'x', sizeof text);
            module.getParameterText(slot, text);
            EXPECT_LE(std::strlen(text), 9u) << slot << " " << value;
            module.getParameterName(slot, text);
            EXPECT_LE(std::strlen(text), 9u) << slot;
        }
        EXPECT_GE(module.getLfoLamp(), 0);
        EXPECT_LE(module.getLfoLamp(), 7);
    }
}

template <class Module>
struct BufferedModule : EveryModule<Module> {
};

using Buffered = ::testing::Types<ChorusModule, DelayModule, ReverbModule>;
TYPED_TEST_SUITE(BufferedModule, Buffered);

TYPED_TEST(BufferedModule, ResetSilencesTheLines)
{
    auto& module = this->module;
    module.setParameter(0, 1.0f);
    module.setSampleRate(44100.0f);
    StereoFrames s = noise(20000);
    s.process(module);
    module.setSampleRate(44100.0f);
    StereoFrames quiet(20000);
    quiet.process(module);
    for (float sample : quiet.samples)
        ASSERT_EQ(sample, 0.0f);
}

TYPED_TEST(BufferedModule, PassesAudioThroughWithoutItsLines)
{
    auto& module = this->module;
    module.setParameter(0, 1.0f);
    for (const float unusable : {1e12f, 0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN()}) {
        module.setSampleRate(unusable);
        const StereoFrames dry = noise(2000);
        StereoFrames s = dry;
        s.process(module);
        EXPECT_EQ(s.samples, dry.samples) << unusable;
    }
    module.setSampleRate(44100.0f); // lines come back with a usable rate
    const StereoFrames dry = noise(40000);
    StereoFrames s = dry;
    s.process(module);
    EXPECT_NE(s.samples, dry.samples);
}

} // namespace
} // namespace voltara
