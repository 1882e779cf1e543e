#include <gtest/gtest.h>

#include "codec/Predictors.h"

namespace voltara::codec {
namespace {

TEST(Predictors, EveryPredictorOrderOnOneHistory)
{
    const History h{40, 30, 25, 10}; // prev1 .. prev4: d = 50, t = 55
    int32_t e = 6;
    const int32_t r = 3;
    const int32_t expected[16] = {3, 43, 49, 53, 59, 58, 64, 61, 55, 60, 62, 38, 33, 23, 54, 3};
    for (uint32_t p = 0; p < 16; ++p) {
        int32_t slotE = e;
        EXPECT_EQ(restoreSample(p, h, slotE, r), expected[p]) << "predictor " << p;
        EXPECT_EQ(slotE, usesErrorTerm(static_cast<int>(p)) ? r / 2 : e) << "predictor " << p;
    }
    int32_t unused = 0;
    EXPECT_EQ(restoreSample(1000, h, unused, -7), -7); // numbers above 14 predict 0
}

TEST(Predictors, DivisionsTruncateTowardZero)
{
    const History h{-3, 0, 0, 0}; // d = -6, t = -9
    int32_t e = 0;
    EXPECT_EQ(restoreSample(8, h, e, 0), -7);  // (-15) / 2
    EXPECT_EQ(restoreSample(11, h, e, 0), -1); // (-3) / 2
    EXPECT_EQ(restoreSample(2, h, e, -5), -8);
    EXPECT_EQ(e, -2); // -5 / 2
}

TEST(Predictors, EncoderResidualsInvertTheDecoder)
{
    const int32_t values[] = {5, -9, 100, 7, 3, -3000, 12, 13, 14, -15, 1 << 22, -(1 << 22), 0, 99};
    const int32_t frames = 10;
    int32_t residuals[predictorCount * frames];
    uint32_t costs[predictorCount];
    computeAllResiduals(values + 4, frames, residuals, frames, costs);
    for (int p = 0; p < predictorCount; ++p) {
        History h{values[3], values[2], values[1], values[0]};
        int32_t e = 0;
        uint32_t cost = 0;
        for (int32_t i = 0; i < frames; ++i) {
            const int32_t r = residuals[p * frames + i];
            EXPECT_EQ(restoreSample(static_cast<uint32_t>(p), h, e, r), values[4 + i]) << p << "/" << i;
            h.push(values[4 + i]);
            cost += magnitudeOf(r);
        }
        EXPECT_EQ(costs[p], cost);
    }
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

} // namespace
} // namespace voltara::codec
