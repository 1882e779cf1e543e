#include "codec/Predictors.h"

#include <algorithm>
#include <cmath>
#include <emmintrin.h>

namespace voltara::codec {

namespace {

// The residuals of predictor P for frames [from, to), its error term going on
// from e, into out (when given); answers their cost.
template <int P>
uint32_t residuals(const int32_t* values, int32_t from, int32_t to, int32_t& e, int32_t* out)
{
    uint32_t cost = 0;
    for (int32_t i = from; i < to; ++i) {
        int32_t r = wrapSub(values[i], basePrediction<P>(values[i - 1], values[i - 2], values[i - 3], values[i - 4]));
        if constexpr (usesErrorTerm(P)) {
            r = wrapSub(r, e);
            e = r / 2;
        }
        if (out != nullptr)
            out[i] = r;
        cost += magnitudeOf(r);
    }
    return cost;
}

// Channels (one or two) with the same predictor run side by side, so that
// their chains from sample to sample overlap.
template <int P, int32_t Shift, int Channels>
void restoreLoop(RestoreRun* runs, int32_t count)
{
    int32_t p1[Channels], p2[Channels], p3[Channels], p4[Channels], error[Channels];
    for (int c = 0; c < Channels; ++c) {
        const History& h = *runs[c].history;
        p1[c] = h.prev1, p2[c] = h.prev2, p3[c] = h.prev3, p4[c] = h.prev4;
        error[c] = *runs[c].e;
    }
    for (int32_t i = 0; i < count; ++i) {
        for (int c = 0; c < Channels; ++c) {
            const int32_t r = runs[c].residuals[i];
            int32_t x = wrapAdd(basePrediction<P>(p1[c], p2[c], p3[c], p4[c]), r);
            if constexpr (usesErrorTerm(P)) {
                x = wrapAdd(x, error[c]);
                error[c] = r / 2;
            }
            const int32_t sample = static_cast<int32_t>(static_cast<uint32_t>(x) << Shift);
            runs[c].samples[i] = sample;
            p4[c] = p3[c];
            p3[c] = p2[c];
            p2[c] = p1[c];
            p1[c] = sample >> Shift;
        }
    }
    for (int c = 0; c < Channels; ++c) {
        *runs[c].history = {p1[c], p2[c], p3[c], p4[c]};
        *runs[c].e = error[c];
    }
}

using RestoreLoop = void (*)(RestoreRun*, int32_t);
template <int32_t Shift, int Channels>
constexpr RestoreLoop restoreLoops[predictorCount] = {
    restoreLoop<0, Shift, Channels>,  restoreLoop<1, Shift, Channels>,  restoreLoop<2, Shift, Channels>,
    restoreLoop<3, Shift, Channels>,  restoreLoop<4, Shift, Channels>,  restoreLoop<5, Shift, Channels>,
    restoreLoop<6, Shift, Channels>,  restoreLoop<7, Shift, Channels>,  restoreLoop<8, Shift, Channels>,
    restoreLoop<9, Shift, Channels>,  restoreLoop<10, Shift, Channels>, restoreLoop<11, Shift, Channels>,
    restoreLoop<12, Shift, Channels>, restoreLoop<13, Shift, Channels>, restoreLoop<14, Shift, Channels>,
};

using ResidualsLoop = uint32_t (*)(const int32_t*, int32_t, int32_t, int32_t&, int32_t*);
constexpr ResidualsLoop residualLoops[predictorCount] = {
    residuals<0>, residuals<1>, residuals<2>,  residuals<3>,  residuals<4>,  residuals<5>,  residuals<6>,  residuals<7>,
    residuals<8>, residuals<9>, residuals<10>, residuals<11>, residuals<12>, residuals<13>, residuals<14>,
};

// Four 32-bit integers side by side in an SSE2 register (the baseline of
// every build): four frames of one predictor, or one frame of four.
using Lanes = __m128i;

inline Lanes load(const int32_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const Lanes*>(p));
}

inline Lanes add(Lanes a, Lanes b)
{
    return _mm_add_epi32(a, b);
}

inline Lanes sub(Lanes a, Lanes b)
{
    return _mm_sub_epi32(a, b);
}

// x / 2, truncated toward zero.
inline Lanes half(Lanes x)
{
    return _mm_srai_epi32(_mm_add_epi32(x, _mm_srli_epi32(x, 31)), 1);
}

// x / 3, truncated toward zero: the high word of the signed product
// x * 0x55555556, plus 1 for a negative x.
inline Lanes third(Lanes x)
{
    const Lanes magic = _mm_set1_epi32(0x55555556);
    const Lanes evenProducts = _mm_mul_epu32(x, magic);
    const Lanes oddProducts = _mm_mul_epu32(_mm_srli_epi64(x, 32), magic);
    const Lanes unsignedHigh =
        _mm_or_si128(_mm_srli_epi64(evenProducts, 32), _mm_and_si128(oddProducts, _mm_set_epi32(-1, 0, -1, 0)));
    const Lanes negative = _mm_srai_epi32(x, 31); // all ones where x < 0
    const Lanes signedHigh = _mm_sub_epi32(unsignedHigh, _mm_and_si128(negative, magic));
    return _mm_sub_epi32(signedHigh, negative);
}

inline Lanes magnitude(Lanes x)
{
    const Lanes sign = _mm_srai_epi32(x, 31);
    return _mm_sub_epi32(_mm_xor_si128(x, sign), sign);
}

// a, b, c, d as rows of a 4 x 4 matrix, turned into its columns.
inline void transpose(Lanes& a, Lanes& b, Lanes& c, Lanes& d)
{
    const Lanes ab01 = _mm_unpacklo_epi32(a, b);
    const Lanes ab23 = _mm_unpackhi_epi32(a, b);
    const Lanes cd01 = _mm_unpacklo_epi32(c, d);
    const Lanes cd23 = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab01, cd01);
    b = _mm_unpackhi_epi64(ab01, cd01);
    c = _mm_unpacklo_epi64(ab23, cd23);
    d = _mm_unpackhi_epi64(ab23, cd23);
}

// One frame of four predictors with error terms: r = x - e, then e = r / 2.
inline Lanes errorTermStep(Lanes x, Lanes& e, Lanes& cost)
{
    const Lanes r = sub(x, e);
    const Lanes sign = _mm_srai_epi32(r, 31);
    e = _mm_srai_epi32(_mm_sub_epi32(r, sign), 1);
    cost = add(cost, _mm_sub_epi32(_mm_xor_si128(r, sign), sign));
    return r;
}

inline uint32_t laneSum(Lanes x)
{
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<Lanes*>(lanes), x);
    return lanes[0] + lanes[1] + lanes[2] + lanes[3];
}

// Predictors without an error term have no chain from frame to frame: four
// frames at a time. The seven with one are each a chain (e comes from the
// previous residual): four predictors at a time, one frame after the other.
constexpr int plainPredictors[8] = {0, 1, 3, 5, 8, 11, 12, 13};
constexpr int chainedPredictors[chainedScratchPerFrame] = {2, 4, 6, 7, 9, 10, 14, -1};

constexpr int chainedLane(int predictor)
{
    for (int lane = 0; lane < chainedScratchPerFrame; ++lane) {
        if (chainedPredictors[lane] == predictor)
            return lane;
    }
    return -1;
}

// What every predictor starts from for four frames: the values, the history
// before each and the differences the predictions share.
struct Frames {
    Lanes x, p1, p2, p3, p4, d, t, dt;

    explicit Frames(const int32_t* values)
        : x(load(values)), p1(load(values - 1)), p2(load(values - 2)), p3(load(values - 3)), p4(load(values - 4))
    {
        d = sub(add(p1, p1), p2);
        const Lanes step = sub(p1, p2);
        t = add(add(step, add(step, step)), p3);
        dt = half(add(d, t));
    }
};

// The predictors without an error term: their costs four frames at a time.
struct PlainCosts {
    // In plainPredictors' order, by frame.
    Lanes c0 = _mm_setzero_si128(), c1 = c0, c3 = c0, c5 = c0, c8 = c0, c11 = c0, c12 = c0, c13 = c0;

    // Four frames from `values` (preceded by four history values); where
    // `inBlock` is given, only the frames of its set lanes count.
    template <bool Partial>
    inline void add(const int32_t* values, Lanes inBlock = Lanes())
    {
        const Frames f(values);
        const auto cost = [&](Lanes& sum, Lanes prediction) {
            const Lanes m = magnitude(sub(f.x, prediction));
            sum = codec::add(sum, Partial ? _mm_and_si128(m, inBlock) : m);
        };
        cost(c0, _mm_setzero_si128());
        cost(c1, f.p1);
        cost(c3, f.d);
        cost(c5, f.t);
        cost(c8, f.dt);
        cost(c11, half(codec::add(f.p2, f.p1)));
        cost(c12, f.p2);
        cost(c13, half(codec::add(f.p4, f.p2)));
    }
};

// The predictors with an error term, four at a time (group 0: 2, 4, 6, 7;
// group 1: 9, 10, 14 and an idle lane), frame after frame; their residuals go
// to the scratch, eight to a frame.
template <int Group>
struct ChainedCosts {
    Lanes e = _mm_setzero_si128();
    Lanes costs = _mm_setzero_si128(); // by predictor

    inline void add(const int32_t* values, int32_t valid, int32_t* scratch)
    {
        const Frames f(values);
        Lanes r[4];
        if constexpr (Group == 0) {
            r[0] = sub(f.x, f.p1);
            r[1] = sub(f.x, f.d);
            r[2] = sub(f.x, f.t);
            r[3] = sub(f.x, f.dt);
        } else {
            r[0] = sub(f.x, third(codec::add(f.t, codec::add(f.d, f.d))));
            r[1] = sub(f.x, third(codec::add(f.d, codec::add(f.t, f.t))));
            r[2] = sub(f.x, half(codec::add(f.d, f.p1)));
            r[3] = _mm_setzero_si128();
        }
        transpose(r[0], r[1], r[2], r[3]);
        for (int32_t k = 0; k < valid; ++k) {
            Lanes* const out = reinterpret_cast<Lanes*>(scratch + chainedScratchPerFrame * k) + Group;
            _mm_storeu_si128(out, errorTermStep(r[k], e, costs));
        }
    }

    void run(const int32_t* values, int32_t whole, int32_t frames, const int32_t* last, int32_t* scratch)
    {
        for (int32_t i = 0; i < whole; i += 4)
            add(values + i, 4, scratch + chainedScratchPerFrame * i);
        if (whole < frames)
            add(last + 4, frames - whole, scratch + chainedScratchPerFrame * whole);
    }
};

} // namespace

void predictorCosts(const int32_t* values, int32_t frames, uint32_t costs[predictorCount], int32_t* scratch)
{
    // The last frames come from a copy that is zero past the block's end.
    const int32_t whole = frames & ~3;
    int32_t last[8] = {};
    if (whole < frames)
        std::copy(values + whole - 4, values + frames, last);

    // Three passes, so that each keeps what it sums in registers.
    PlainCosts plain;
    for (int32_t i = 0; i < whole; i += 4)
        plain.add<false>(values + i);
    if (whole < frames)
        plain.add<true>(last + 4, _mm_cmplt_epi32(_mm_set_epi32(3, 2, 1, 0), _mm_set1_epi32(frames - whole)));
    const Lanes plainSums[8] = {plain.c0, plain.c1, plain.c3, plain.c5, plain.c8, plain.c11, plain.c12, plain.c13};
    for (int k = 0; k < 8; ++k)
        costs[plainPredictors[k]] = laneSum(plainSums[k]);

    ChainedCosts<0> first;
    first.run(values, whole, frames, last, scratch);
    ChainedCosts<1> second;
    second.run(values, whole, frames, last, scratch);
    alignas(16) uint32_t sums[chainedScratchPerFrame];
    _mm_store_si128(reinterpret_cast<Lanes*>(sums), first.costs);
    _mm_store_si128(reinterpret_cast<Lanes*>(sums + 4), second.costs);
    for (int lane = 0; lane < chainedScratchPerFrame; ++lane) {
        if (chainedPredictors[lane] >= 0)
            costs[chainedPredictors[lane]] = sums[lane];
    }
}

void restoreRuns(uint32_t predictor, RestoreRun* runs, int32_t channels, int32_t count, int32_t shift)
{
    const uint32_t p = predictor < predictorCount ? predictor : 0;
    if (channels == 2)
        (shift == 0 ? restoreLoops<0, 2>[p] : restoreLoops<8, 2>[p])(runs, count);
    else
        (shift == 0 ? restoreLoops<0, 1>[p] : restoreLoops<8, 1>[p])(runs, count);
}

void blockResiduals(int predictor, const int32_t* values, int32_t frames, const int32_t* scratch, int32_t* out)
{
    const int lane = chainedLane(predictor);
    if (lane >= 0) {
        for (int32_t i = 0; i < frames; ++i)
            out[i] = scratch[chainedScratchPerFrame * i + lane];
    } else {
        int32_t unused = 0;
        residualLoops[predictor >= 0 && predictor < predictorCount ? predictor : 0](values, 0, frames, unused, out);
    }
}

int32_t riceParameterForMean(uint64_t truncatedMean, double mean)
{
    for (int32_t i = 1; i <= 29; ++i) {
        if (truncatedMean < (uint64_t{1} << (i + 1)))
            return i;
    }
    // The format's constants, verbatim: ln(mean * ln 2) * log2(e) + 0.5.
    const double estimate = std::log(mean * 0.6931471805599453) * 1.4426952 + 0.5;
    const int32_t parameter = static_cast<int32_t>(estimate);
    return parameter > 0 ? parameter : 1;
}

} // namespace voltara::codec
