#pragma once

#include <cstdint>

// The fifteen fixed predictors and the adaptive Rice parameter of the format,
// shared by the decoder (which adds a residual to a prediction) and the encoder
// (which subtracts one), so the two can never disagree. All sample arithmetic is
// 32-bit two's complement: sums wrap, divisions truncate toward zero.
namespace voltara::codec {

constexpr int predictorCount = 15; // numbers 0 .. 14; any other number predicts 0

inline int32_t wrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

inline int32_t wrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// |r| without overflow: |INT32_MIN| is 2^31.
inline uint32_t magnitudeOf(int32_t r)
{
    return r < 0 ? 0u - static_cast<uint32_t>(r) : static_cast<uint32_t>(r);
}

// The last four values of one channel, newest first.
struct History {
    int32_t prev1 = 0, prev2 = 0, prev3 = 0, prev4 = 0;

    void push(int32_t value)
    {
        prev4 = prev3;
        prev3 = prev2;
        prev2 = prev1;
        prev1 = value;
    }
};

// Predictors whose sample also adds an error term e, which then becomes r / 2.
constexpr bool usesErrorTerm(int predictor)
{
    return predictor == 2 || predictor == 4 || predictor == 6 || predictor == 7 || predictor == 9 || predictor == 10
           || predictor == 14;
}

// The prediction of predictor P from the history, without its error term.
template <int P>
inline int32_t basePrediction(int32_t prev1, int32_t prev2, int32_t prev3, int32_t prev4)
{
    const uint32_t p1 = static_cast<uint32_t>(prev1), p2 = static_cast<uint32_t>(prev2);
    const int32_t d = static_cast<int32_t>(2u * p1 - p2);
    const int32_t t = static_cast<int32_t>(3u * (p1 - p2) + static_cast<uint32_t>(prev3));
    switch (P) {
    case 1:
    case 2: return prev1;
    case 3:
    case 4: return d;
    case 5:
    case 6: return t;
    case 7:
    case 8: return wrapAdd(d, t) / 2;
    case 9: return wrapAdd(t, wrapAdd(d, d)) / 3;
    case 10: return wrapAdd(d, wrapAdd(t, t)) / 3;
    case 11: return wrapAdd(prev2, prev1) / 2;
    case 12: return prev2;
    case 13: return wrapAdd(prev4, prev2) / 2;
    case 14: return wrapAdd(d, prev1) / 2;
    default: return 0;
    }
}

// Decoder side: the sample that residual r restores with predictor p, updating
// the slot's error term e when the predictor has one.
inline int32_t restoreSample(uint32_t predictor, const History& h, int32_t& e, int32_t r)
{
// clang-format off
#define VOLTARA_PLAIN(P)                                                                          \
    case P: return wrapAdd(basePrediction<P>(h.prev1, h.prev2, h.prev3, h.prev4), r);
#define VOLTARA_WITH_E(P)                                                                         \
    case P: {                                                                                     \
        const int32_t x = wrapAdd(wrapAdd(basePrediction<P>(h.prev1, h.prev2, h.prev3, h.prev4), e), r); \
        e = r / 2;                                                                                \
        return x;                                                                                 \
    }
    // clang-format on
    switch (predictor) {
        VOLTARA_PLAIN(1)
        VOLTARA_WITH_E(2)
        VOLTARA_PLAIN(3)
        VOLTARA_WITH_E(4)
        VOLTARA_PLAIN(5)
        VOLTARA_WITH_E(6)
        VOLTARA_WITH_E(7)
        VOLTARA_PLAIN(8)
        VOLTARA_WITH_E(9)
        VOLTARA_WITH_E(10)
        VOLTARA_PLAIN(11)
        VOLTARA_PLAIN(12)
        VOLTARA_PLAIN(13)
        VOLTARA_WITH_E(14)
    default: return r;
    }
#undef VOLTARA_PLAIN
#undef VOLTARA_WITH_E
}

// Encoder side: the residuals of predictor P over a block. `values` points at
// the block's first value and is preceded by the four history values
// (values[-1] = prev1 ... values[-4] = prev4). The error term starts at 0.
// Answers the cost: the sum of |r| as an unsigned 32-bit number (it wraps).
template <int P>
uint32_t computeResiduals(const int32_t* values, int32_t frames, int32_t* residuals)
{
    int32_t e = 0;
    uint32_t cost = 0;
    for (int32_t i = 0; i < frames; ++i) {
        int32_t r = wrapSub(values[i], basePrediction<P>(values[i - 1], values[i - 2], values[i - 3], values[i - 4]));
        if constexpr (usesErrorTerm(P)) {
            r = wrapSub(r, e);
            e = r / 2;
        }
        residuals[i] = r;
        cost += magnitudeOf(r);
    }
    return cost;
}

// Fills residuals[p * stride ...] for every predictor p and costs[p].
void computeAllResiduals(const int32_t* values, int32_t frames, int32_t* residuals, int32_t stride,
                         uint32_t costs[predictorCount]);

// The Rice parameter for a mean magnitude: the smallest i from 1 to 29 with
// truncatedMean < 2^(i+1); above that a logarithm of `mean`.
int32_t riceParameterForMean(uint64_t truncatedMean, double mean);

// The adaptive parameter's window over the last three magnitudes.
class AdaptiveRiceWindow {
public:
    void reset() { *this = AdaptiveRiceWindow(); }

    // Takes the magnitude just coded; answers the parameter for the next one.
    int32_t next(uint32_t magnitude)
    {
        sum_ += magnitude;
        sum_ -= window_[position_];
        window_[position_] = magnitude;
        position_ = position_ == 2 ? 0 : position_ + 1;
        if (count_ < 3)
            ++count_;
        // Dividing by the constant 3 (the usual case) costs a multiplication.
        const uint64_t mean = count_ == 3 ? sum_ / 3 : sum_ / static_cast<uint32_t>(count_);
        if (mean < 4)
            return 1;
        if (mean < (uint64_t{1} << 30))
            return 63 - __builtin_clzll(mean); // highest set bit: mean < 2^(i+1)
        return riceParameterForMean(mean, static_cast<double>(mean));
    }

private:
    uint32_t window_[3] = {0, 0, 0};
    int32_t position_ = 0;
    int32_t count_ = 0;
    uint64_t sum_ = 0; // the format keeps it as a 64-bit float, exact below 3 * 2^32 as here
};

} // namespace voltara::codec
