#include <gtest/gtest.h>

#include "codec/Predictors.h"

#include <random>
#include <vector>

namespace voltara::codec {
namespace {

// One sample restored from residual r, the slot's error term going on.
int32_t restoreOne(uint32_t predictor, History h, int32_t& e, int32_t r)
{
    int32_t x = 0;
    RestoreRun run = {&h, &e, &r, &x};
    restoreRuns(predictor, &run, 1, 1, 0);
    return x;
}

TEST(Predictors, EveryPredictorOrderOnOneHistory)
{
    const History h{40, 30, 25, 10}; // prev1 .. prev4: d = 50, t = 55
    int32_t e = 6;
    const int32_t r = 3;
    const int32_t expected[16] = {3, 43, 49, 53, 59, 58, 64, 61, 55, 60, 62, 38, 33, 23, 54, 3};
    for (uint32_t p = 0; p < 16; ++p) {
        int32_t slotE = e;
        EXPECT_EQ(restoreOne(p, h, slotE, r), expected[p]) << "predictor " << p;
        EXPECT_EQ(slotE, usesErrorTerm(static_cast<int>(p)) ? r / 2 : e) << "predictor " << p;
    }
    int32_t unused = 0;
    EXPECT_EQ(restoreOne(1000, h, unused, -7), -7); // numbers above 14 predict 0
}

TEST(Predictors, DivisionsTruncateTowardZero)
{
    const History h{-3, 0, 0, 0}; // d = -6, t = -9
    int32_t e = 0;
    EXPECT_EQ(restoreOne(8, h, e, 0), -7);  // (-15) / 2
    EXPECT_EQ(restoreOne(11, h, e, 0), -1); // (-3) / 2
    EXPECT_EQ(restoreOne(2, h, e, -5), -8);
    EXPECT_EQ(e, -2); // -5 / 2
}

// Every predictor's residuals and cost over a block, against the decoder
// restoring the block from them: short blocks, lengths around the groups of
// four the costs are taken in, and values whose predictions wrap around.
TEST(Predictors, EncoderResidualsInvertTheDecoder)
{
    std::mt19937 random(5);
    for (const int32_t frames : {1, 2, 3, 4, 5, 7, 10, 31, 32, 33, 256, 1000}) {
        for (const int32_t range : {16, 1 << 24, 0}) {
            std::vector<int32_t> values(4 + frames);
            for (int32_t& v : values)
                v = range == 0 ? static_cast<int32_t>(random()) : static_cast<int32_t>(random() % range) - range / 2;
            std::vector<int32_t> scratch(chainedScratchPerFrame * frames), residuals(frames), restored(frames);
            uint32_t costs[predictorCount];
            predictorCosts(values.data() + 4, frames, costs, scratch.data());
            for (int p = 0; p < predictorCount; ++p) {
                blockResiduals(p, values.data() + 4, frames, scratch.data(), residuals.data());
                History h{values[3], values[2], values[1], values[0]};
                int32_t e = 0;
                RestoreRun run = {&h, &e, residuals.data(), restored.data()};
                restoreRuns(static_cast<uint32_t>(p), &run, 1, frames, 0);
                uint32_t cost = 0;
                for (int32_t i = 0; i < frames; ++i) {
                    ASSERT_EQ(restored[i], values[4 + i]) << p << "/" << i << " of " << frames << ", range " << range;
                    cost += magnitudeOf(residuals[i]);
                }
                EXPECT_EQ(costs[p], cost) << p << ", " << frames << " frames, range " << range;

                // Two channels with the same predictor, restored side by side.
                History h0{values[3], values[2], values[1], values[0]}, h1 = h0;
                int32_t e0 = 0, e1 = 0;
                std::vector<int32_t> left(frames), right(frames);
                RestoreRun pair[2] = {{&h0, &e0, residuals.data(), left.data()},
                                      {&h1, &e1, residuals.data(), right.data()}};
                restoreRuns(static_cast<uint32_t>(p), pair, 2, frames, 0);
                ASSERT_EQ(left, restored) << p;
                ASSERT_EQ(right, restored) << p;
                EXPECT_EQ(h0.prev1, h.prev1);
                EXPECT_EQ(e1, e);
            }
        }
    }
}

// Two channels, each with a predictor of its own (numbers above 14 included),
// restored side by side: each gives back its block as it would alone, shifted
// out when the 8-bit-shift flag is set (values of 24 bits, as then).
TEST(Predictors, PairsOfPredictorsRestoreSideBySide)
{
    std::mt19937 random(7);
    for (const int32_t frames : {1, 5, 256}) {
        for (const int32_t range : {1 << 24, 0}) {
            std::vector<int32_t> values(4 + frames);
            for (int32_t& v : values)
                v = range == 0 ? static_cast<int32_t>(random()) : static_cast<int32_t>(random() % range) - range / 2;
            std::vector<int32_t> scratch(chainedScratchPerFrame * frames);
            uint32_t costs[predictorCount];
            predictorCosts(values.data() + 4, frames, costs, scratch.data());
            std::vector<std::vector<int32_t>> residuals(predictorCount + 1, std::vector<int32_t>(frames));
            for (int p = 0; p <= predictorCount; ++p)
                blockResiduals(p, values.data() + 4, frames, scratch.data(), residuals[p].data());
            for (const int32_t shift : {0, 8}) {
                if (shift == 8 && range == 0)
                    continue; // shifted values are coded 8 bits narrower
                for (uint32_t p0 = 0; p0 <= predictorCount; ++p0) {
                    for (uint32_t p1 = 0; p1 <= predictorCount; ++p1) {
                        History h0{values[3], values[2], values[1], values[0]}, h1 = h0;
                        int32_t e0 = 0, e1 = 0;
                        std::vector<int32_t> left(frames), right(frames);
                        RestoreRun pair[2] = {{&h0, &e0, residuals[p0].data(), left.data()},
                                              {&h1, &e1, residuals[p1].data(), right.data()}};
                        restorePair(p0, p1, pair, frames, shift);
                        for (int32_t i = 0; i < frames; ++i) {
                            const auto expected = static_cast<int32_t>(static_cast<uint32_t>(values[4 + i]) << shift);
                            ASSERT_EQ(left[i], expected) << p0 << ", " << p1 << " at " << i << ", shift " << shift;
                            ASSERT_EQ(right[i], expected) << p0 << ", " << p1 << " at " << i << ", shift " << shift;
                        }
                        EXPECT_EQ(h0.prev1, values[3 + frames]);
                        EXPECT_EQ(h1.prev2, values[2 + frames]);
                        EXPECT_EQ(e0, usesErrorTerm(static_cast<int>(p0)) ? residuals[p0][frames - 1] / 2 : 0);
                        EXPECT_EQ(e1, usesErrorTerm(static_cast<int>(p1)) ? residuals[p1][frames - 1] / 2 : 0);
                    }
                }
            }
        }
    }
}

// With the 8-bit-shift flag the samples come out x 256 and the history keeps
// them as coded.
TEST(Predictors, RestoredRunsShiftTheirSamples)
{
    History h{3, 2, 1, 0};
    int32_t e = 0;
    const int32_t residuals[] = {1, -1, 0};
    int32_t out[3];
    RestoreRun run = {&h, &e, residuals, out};
    restoreRuns(1, &run, 1, 3, 8);
    EXPECT_EQ(out[0], 4 * 256);
    EXPECT_EQ(out[1], 3 * 256);
    EXPECT_EQ(out[2], 3 * 256);
    EXPECT_EQ(h.prev1, 3);
    EXPECT_EQ(h.prev2, 3);
    EXPECT_EQ(h.prev3, 4);
    EXPECT_EQ(h.prev4, 3);
}

TEST(Predictors, RiceParameterForMean)
{
    EXPECT_EQ(riceParameterForMean(0, 0.0), 1);
    EXPECT_EQ(riceParameterForMean(3, 3.9), 1);
    EXPECT_EQ(riceParameterForMean(4, 4.0), 2);
    EXPECT_EQ(riceParameterForMean(7, 7.5), 2);
    EXPECT_EQ(riceParameterForMean(8, 8.0), 3);
    EXPECT_EQ(riceParameterForMean((1u << 30) - 1, 0.0), 29);
    // Above 2^30: (ln(m * 0.6931471805599453) * 1.4426952 + 0.5) truncated.
    EXPECT_EQ(riceParameterForMean(1u << 30, 1073741824.0), 29);
    EXPECT_EQ(riceParameterForMean(3u << 30, 3221225472.0), 31);
}

TEST(Predictors, AdaptiveWindowAveragesTheLastThree)
{
    AdaptiveRiceWindow window;
    EXPECT_EQ(window.next(100), 6);   // mean 100
    EXPECT_EQ(window.next(0), 5);     // mean 50
    EXPECT_EQ(window.next(2), 5);     // mean 34
    EXPECT_EQ(window.next(1), 1);     // 0, 2, 1: mean 1
    EXPECT_EQ(window.next(4000), 10); // 2, 1, 4000: mean 1334
    window.reset();
    EXPECT_EQ(window.next(3), 1);
}

// The window's parameter is the one its mean gives, at the edges of every
// range of means too.
TEST(Predictors, AdaptiveWindowParameterIsItsMeans)
{
    std::vector<uint32_t> magnitudes = {0, 1, 2, 3, 4, 5, 11, 12, 13, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu};
    for (int j = 1; j < 32; ++j) {
        for (const uint32_t m : {1u << j, (1u << j) - 1, (1u << j) + 1, (3u << j) / 2, (3u << j) / 2 - 1})
            magnitudes.push_back(m);
    }
    std::mt19937 random(9);
    for (int i = 0; i < 20000; ++i)
        magnitudes.push_back(static_cast<uint32_t>(random()) >> (random() % 32));
    AdaptiveRiceWindow window;
    uint64_t last[3] = {0, 0, 0};
    int32_t taken = 0;
    for (const uint32_t m : magnitudes) {
        last[2] = last[1];
        last[1] = last[0];
        last[0] = m;
        taken = taken < 3 ? taken + 1 : 3;
        const uint64_t mean = (last[0] + last[1] + last[2]) / static_cast<uint64_t>(taken);
        ASSERT_EQ(window.next(m), riceParameterForMean(mean, static_cast<double>(mean))) << m;
    }
}

} // namespace
} // namespace voltara::codec
