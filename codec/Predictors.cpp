#include "codec/Predictors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <emmintrin.h>
#include <utility>

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

// One channel's restoring state: the history and error term of its run, in
// locals while a loop runs.
template <int P, int32_t Shift>
struct Restorer {
    explicit Restorer(const RestoreRun& run)
        : p1(run.history->prev1), p2(run.history->prev2), p3(run.history->prev3), p4(run.history->prev4), error(*run.e),
          older(olderShare<P>(p2, p3, p4))
    {
    }

    // The sample of residual r (shifted out), taking it into the history.
    int32_t next(int32_t r)
    {
        // What does not wait on the newest value first: the residual and
        // error term, and the older share of the next step.
        const int32_t added = usesErrorTerm(P) ? wrapAdd(r, error) : r;
        if constexpr (usesErrorTerm(P))
            error = r / 2;
        const uint32_t nextOlder = olderShare<P>(p1, p2, p3);
        const int32_t x = wrapAdd(dividedPrediction<P>(newestWeight<P>() * p1 + older), added);
        const int32_t sample = static_cast<int32_t>(static_cast<uint32_t>(x) << Shift);
        p4 = p3;
        p3 = p2;
        p2 = p1;
        p1 = static_cast<uint32_t>(sample >> Shift);
        older = nextOlder;
        return sample;
    }

    void save(const RestoreRun& run) const
    {
        *run.history = {static_cast<int32_t>(p1), static_cast<int32_t>(p2), static_cast<int32_t>(p3),
                        static_cast<int32_t>(p4)};
        *run.e = error;
    }

    uint32_t p1, p2, p3, p4;
    int32_t error;
    uint32_t older; // the older values' share of the next prediction
};

template <int P, int32_t Shift>
void restoreLoop(RestoreRun* runs, int32_t count)
{
    Restorer<P, Shift> channel(runs[0]);
    for (int32_t i = 0; i < count; ++i)
        runs[0].samples[i] = channel.next(runs[0].residuals[i]);
    channel.save(runs[0]);
}

// Two channels, each with its predictor, side by side, so that their chains
// from sample to sample overlap.
template <int P0, int P1, int32_t Shift>
void restorePairLoop(RestoreRun* runs, int32_t count)
{
    Restorer<P0, Shift> left(runs[0]);
    Restorer<P1, Shift> right(runs[1]);
    for (int32_t i = 0; i < count; ++i) {
        runs[0].samples[i] = left.next(runs[0].residuals[i]);
        runs[1].samples[i] = right.next(runs[1].residuals[i]);
    }
    left.save(runs[0]);
    right.save(runs[1]);
}

// The loops for every predictor (and pair), by number.
using RestoreLoop = void (*)(RestoreRun*, int32_t);
using RestoreLoops = std::array<RestoreLoop, predictorCount>;
constexpr auto everyPredictor = std::make_integer_sequence<int, predictorCount>();

template <int32_t Shift, int... P>
constexpr RestoreLoops singleLoops(std::integer_sequence<int, P...>)
{
    return {restoreLoop<P, Shift>...};
}

template <int32_t Shift, int P0, int... P1>
constexpr RestoreLoops pairLoopsAfter(std::integer_sequence<int, P1...>)
{
    return {restorePairLoop<P0, P1, Shift>...};
}

template <int32_t Shift, int... P0>
constexpr std::array<RestoreLoops, predictorCount> pairLoops(std::integer_sequence<int, P0...> second)
{
    return {pairLoopsAfter<Shift, P0>(second)...};
}

template <int32_t Shift>
constexpr RestoreLoops restoreLoops = singleLoops<Shift>(everyPredictor);
constexpr std::array<RestoreLoops, predictorCount> restorePairLoops = pairLoops<0>(everyPredictor);

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
    if (channels == 2) {
        restorePair(predictor, predictor, runs, count, shift);
        return;
    }
    const uint32_t p = predictor < predictorCount ? predictor : 0;
    (shift == 0 ? restoreLoops<0>[p] : restoreLoops<8>[p])(runs, count);
}

void restorePair(uint32_t predictor0, uint32_t predictor1, RestoreRun* runs, int32_t count, int32_t shift)
{
    const uint32_t p0 = predictor0 < predictorCount ? predictor0 : 0;
    const uint32_t p1 = predictor1 < predictorCount ? predictor1 : 0;
    if (shift == 0) {
        restorePairLoops[p0][p1](runs, count);
    } else { // shifted blocks are rare: each channel on its own
        restoreLoops<8>[p0](runs, count);
        restoreLoops<8>[p1](runs + 1, count);
    }
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
