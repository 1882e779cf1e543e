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

// The prediction of predictor P from the history, without its error term, in
// three parts: weight x prev1 + the older values' share (mod 2^32, as the
// format's wrapping sums), then divided (truncating toward zero). A decoding
// loop, in which prev1 is the sample just made, takes the older share from
// the step before, so that it waits on prev1 for as few steps as it can.
template <int P>
constexpr uint32_t newestWeight()
{
    switch (P) {
    case 1:
    case 2: return 1;
    case 3:
    case 4: return 2;
    case 5:
    case 6: return 3;
    case 7:
    case 8: return 5;
    case 9: return 7;
    case 10: return 8;
    case 11: return 1;
    case 14: return 3;
    default: return 0;
    }
}

template <int P>
inline uint32_t olderShare(uint32_t p2, uint32_t p3, uint32_t p4)
{
    switch (P) {
    case 3:
    case 4: return 0u - p2; // d = 2 prev1 - prev2
    case 5:
    case 6: return p3 - 3u * p2; // t = 3 (prev1 - prev2) + prev3
    case 7:
    case 8: return p3 - 4u * p2;       // d + t
    case 9: return p3 - 5u * p2;       // t + 2 d
    case 10: return 2u * p3 - 7u * p2; // d + 2 t
    case 11:
    case 12: return p2;
    case 13: return p4 + p2;
    case 14: return 0u - p2; // d + prev1
    default: return 0;
    }
}

template <int P>
inline int32_t dividedPrediction(uint32_t sum)
{
    const int32_t value = static_cast<int32_t>(sum);
    switch (P) {
    case 7:
    case 8:
    case 11:
    case 13:
    case 14: return value / 2;
    case 9:
    case 10: return value / 3;
    default: return value;
    }
}

template <int P>
inline int32_t basePrediction(int32_t prev1, int32_t prev2, int32_t prev3, int32_t prev4)
{
    const uint32_t older =
        olderShare<P>(static_cast<uint32_t>(prev2), static_cast<uint32_t>(prev3), static_cast<uint32_t>(prev4));
    return dividedPrediction<P>(newestWeight<P>() * static_cast<uint32_t>(prev1) + older);
}

// Decoder side: one channel's run of samples, its slot's history and error
// term going on.
struct RestoreRun {
    History* history;
    int32_t* e;
    const int32_t* residuals;
    int32_t* samples;
};

// Restores `count` samples of one or two channels (`channels` runs) from
// their residuals with predictor p (a number above 14 predicts 0). The samples
// go out shifted left by `shift` (the 8-bit-shift flag: 8, else 0); the
// histories take them shifted back.
void restoreRuns(uint32_t predictor, RestoreRun* runs, int32_t channels, int32_t count, int32_t shift);
// The same for two channels with predictors of their own.
void restorePair(uint32_t predictor0, uint32_t predictor1, RestoreRun* runs, int32_t count, int32_t shift);

// Encoder side. `values` points at a block's first value and is preceded by
// the four history values (values[-1] = prev1 ... values[-4] = prev4); every
// error term starts at 0 with the block.

// Words of the scratch that predictorCosts fills for blockResiduals: the
// residuals of the seven predictors with an error term, eight to a frame.
constexpr int32_t chainedScratchPerFrame = 8;

// The cost of every predictor over the block, all fifteen in one pass: the
// sum of |r| as an unsigned 32-bit number (it wraps).
void predictorCosts(const int32_t* values, int32_t frames, uint32_t costs[predictorCount], int32_t* scratch);

// The residuals of one predictor over the block that predictorCosts last
// analysed with this scratch (a number above 14: the values).
void blockResiduals(int predictor, const int32_t* values, int32_t frames, const int32_t* scratch, int32_t* out);

// The Rice parameter for a mean magnitude: the smallest i from 1 to 29 with
// truncatedMean < 2^(i+1); above that a logarithm of `mean`.
int32_t riceParameterForMean(uint64_t truncatedMean, double mean);

// The same for a mean that is a whole number, as the adaptive window has it.
inline int32_t riceParameterForWholeMean(uint64_t mean)
{
    if (mean < 4)
        return 1;
    if (mean < (uint64_t{1} << 30))
        return 63 - __builtin_clzll(mean); // highest set bit: mean < 2^(i+1)
    return riceParameterForMean(mean, static_cast<double>(mean));
}

// The adaptive parameter's window over the last three magnitudes.
class AdaptiveRiceWindow {
public:
    void reset() { *this = AdaptiveRiceWindow(); }

    // Takes the magnitude just coded; answers the parameter for the next one.
    int32_t next(uint32_t magnitude)
    {
        const uint64_t sum = take(magnitude);
        if (count_ < 3) {
            ++count_;
            return riceParameterForWholeMean(sum / static_cast<uint32_t>(count_));
        }
        return parameterOfFullSum(sum);
    }

    // Whether three magnitudes have been taken: from then on nextOfFull may be used.
    bool full() const { return count_ == 3; }

    // next, once the window is full.
    int32_t nextOfFull(uint32_t magnitude) { return parameterOfFullSum(take(magnitude)); }

private:
    // Shifts the magnitude in; answers the sum of the three now in the window.
    // The format keeps the sum as a 64-bit float, exact below 3 * 2^32 as here.
    uint64_t take(uint32_t magnitude)
    {
        const uint64_t sum = lastTwo_ + magnitude;
        lastTwo_ = uint64_t{newest_} + magnitude;
        newest_ = magnitude;
        return sum;
    }

    // A full window's mean is sum / 3, and its highest bit the largest j with
    // sum >= 3 * 2^j: the sum's own highest bit less 2, plus the bit below it.
    static int32_t parameterOfFullSum(uint64_t sum)
    {
        if (sum >= (uint64_t{3} << 30))
            return riceParameterForWholeMean(sum / 3);
        const uint64_t clamped = sum < 8 ? 8 : sum; // means below 4 give 1, as 8 .. 11 do
        const int32_t top = __builtin_clzll(clamped) ^ 63;
        return top - 4 + static_cast<int32_t>(clamped >> (top - 1)); // that shift leaves 2 or 3
    }

    uint32_t newest_ = 0;  // magnitudes not yet taken are 0
    uint64_t lastTwo_ = 0; // the newest and the one before it
    int32_t count_ = 0;
};

} // namespace voltara::codec
