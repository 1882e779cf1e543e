#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace voltara {
namespace {

using test::TestHost;

std::vector<float> ramp(size_t frames, float start, float step)
{
    std::vector<float> samples(frames);
    for (size_t i = 0; i < frames; ++i)
        samples[i] = start + step * static_cast<float>(i % 997);
    return samples;
}

const int32_t switchIndices[] = {8, 16, 24, 32, 40, 48, 56, 64};

struct Audio : ::testing::Test {
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    void allSwitches(float value)
    {
        for (int32_t index : switchIndices)
            host.setParameter(index, value);
    }
    // Replacing, the output is the input; accumulating, the input is added
    // to what the output holds.
    void expectTransparent(const std::vector<float>& left, const std::vector<float>& right)
    {
        std::vector<float> outLeft(left.size(), 7.0f), outRight(right.size(), 7.0f);
        auto inLeft = left, inRight = right;
        host.process(inLeft, inRight, false, &outLeft, &outRight);
        EXPECT_EQ(outLeft, left);
        EXPECT_EQ(outRight, right);
        host.process(inLeft, inRight, true, &outLeft, &outRight);
        for (size_t i = 0; i < left.size(); ++i) {
            EXPECT_EQ(outLeft[i], left[i] + left[i]);
            EXPECT_EQ(outRight[i], right[i] + right[i]);
        }
    }
    TestHost host;
};

TEST_F(Audio, ResumeAsksForEventsAndNotifies)
{
    host.calls.clear();
    host.start(44100.0f, 512);
    EXPECT_EQ(host.countCalls(hostNotify14), 1);
    ASSERT_EQ(host.countCalls(hostWantEvents), 1);
    for (const auto& call : host.calls) {
        if (call.opcode == hostWantEvents) {
            EXPECT_EQ(call.value, 1);
        }
    }
}

TEST_F(Audio, BypassGivesTheInputBackWhateverTheSwitches)
{
    host.start(44100.0f, 256);
    allSwitches(1.0f);
    host.setParameter(0, 1.0f);
    expectTransparent(ramp(1000, -0.5f, 0.001f), ramp(1000, 0.25f, -0.0005f));
}

TEST_F(Audio, ChainWithEverythingOffIsTransparent)
{
    host.start(48000.0f, 64);
    allSwitches(0.0f);
    host.setParameter(0, 0.0f);
    // Longer than the block size: processed in slices of the work buffer.
    expectTransparent(ramp(5000, 0.1f, 0.0003f), ramp(5000, -0.1f, 0.0002f));
}

TEST_F(Audio, ZeroFramesTouchNoSampleButAskForTheTime)
{
    host.start(44100.0f, 128);
    std::vector<float> left(4, 3.0f), right(4, 3.0f);
    std::vector<float> outLeft(4, 9.0f), outRight(4, 9.0f);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    host.calls.clear();
    PluginDescriptor* d = host.descriptor();
    d->processOverwriting(d, inputs, outputs, 0);
    d->processAccumulating(d, inputs, outputs, 0);
    EXPECT_EQ(outLeft, std::vector<float>(4, 9.0f));
    EXPECT_EQ(host.countCalls(hostGetTime), 2);
    for (const auto& call : host.calls)
        EXPECT_EQ(call.value, timeInfoFilter);
}

TEST_F(Audio, BeforeTheFirstResumeTheInputComesBack)
{
    const std::vector<float> left = ramp(300, 0.2f, 0.001f), right = ramp(300, -0.2f, 0.001f);
    auto inLeft = left, inRight = right;
    std::vector<float> outLeft(300), outRight(300);
    host.process(inLeft, inRight, false, &outLeft, &outRight);
    EXPECT_EQ(outLeft, left);
    EXPECT_EQ(outRight, right);
}

TEST_F(Audio, NonFiniteInputBecomesSilence)
{
    host.start(44100.0f, 64);
    for (float bypass : {0.0f, 1.0f}) {
        host.setParameter(0, bypass);
        std::vector<float> left = {0.5f, std::numeric_limits<float>::quiet_NaN(), 0.25f,
                                   std::numeric_limits<float>::infinity()};
        std::vector<float> right = {-std::numeric_limits<float>::infinity(), 0.125f, 0.0f, 1.0f};
        std::vector<float> outLeft(4), outRight(4);
        host.process(left, right, false, &outLeft, &outRight);
        EXPECT_EQ(outLeft, (std::vector<float>{0.5f, 0.0f, 0.25f, 0.0f}));
        EXPECT_EQ(outRight, (std::vector<float>{0.0f, 0.125f, 0.0f, 1.0f}));
    }
}

TEST_F(Audio, EveryModuleOnStaysFiniteAndBounded)
{
    host.start(44100.0f, 512);
    allSwitches(1.0f);
    host.setParameter(0, 0.0f);
    std::vector<float> left(44100), right(44100);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = 0.8f * std::sin(0.05f * static_cast<float>(i));
        right[i] = 0.8f * std::sin(0.031f * static_cast<float>(i));
    }
    host.process(left, right, false);
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << i;
        ASSERT_LT(std::fabs(left[i]), 100.0f) << i;
    }
}

// The rack processes at 8 to 384 kHz. At any other rate (or a value that is no
// rate) it gives the input back untouched, and processes again once it is
// resumed at a supported rate.
TEST_F(Audio, RatesOutsideEightTo384KilohertzGiveTheInputBack)
{
    allSwitches(1.0f);
    const std::vector<float> left = ramp(3000, -0.5f, 0.001f), right = ramp(3000, 0.4f, -0.0007f);
    for (const float rate :
         {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 4000.0f,
          6000.0f, 7999.0f, 384001.0f, 4.1e8f, 1e12f}) {
        host.start(rate, 512);
        for (int32_t round = 0; round < 3; ++round)
            expectTransparent(left, right);
        if (HasFailure())
            FAIL() << "at " << rate << " Hz";
    }
    for (const float rate : {8000.0f, 384000.0f}) {
        host.start(rate, 512);
        auto outLeft = left, outRight = right;
        host.process(outLeft, outRight, false);
        EXPECT_NE(outLeft, left) << rate;
        for (float sample : outLeft)
            ASSERT_TRUE(std::isfinite(sample)) << rate;
    }
}

// Values far outside 0 .. 1 on any index, with every module on: they are
// taken as the nearest end of 0 .. 1, and the output stays finite and bounded.
TEST_F(Audio, HostileValuesOnAnyIndexKeepTheOutputFinite)
{
    float start[72];
    for (int32_t i = 0; i < 72; ++i)
        start[i] = host.getParameter(i);
    std::vector<float> left(512), right(512);
    for (float hostile : {1.5f, -0.1f, 1e30f, -1e30f}) {
        for (int32_t index = 0; index < 72; ++index) {
            for (int32_t i = 0; i < 72; ++i)
                host.setParameter(i, start[i]);
            allSwitches(1.0f);
            host.start(44100.0f, 512);
            host.setParameter(index, hostile);
            for (int32_t block = 0; block < 172; ++block) {
                for (size_t i = 0; i < left.size(); ++i) {
                    left[i] = 0.8f * std::sin(0.05f * static_cast<float>(block * 512 + i));
                    right[i] = left[i];
                }
                host.process(left, right, false);
                for (size_t i = 0; i < left.size(); ++i)
                    ASSERT_TRUE(std::fabs(left[i]) < 100.0f && std::fabs(right[i]) < 100.0f)
                        << "index " << index << " at " << hostile << ", block " << block << ": " << left[i];
            }
        }
    }
}

} // namespace
} // namespace voltara
