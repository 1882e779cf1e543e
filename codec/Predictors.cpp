#include "codec/Predictors.h"

#include <cmath>

namespace voltara::codec {

namespace {

// The seven predictors with an error term in one pass: each is a serial chain
// (e comes from the previous residual), so running them side by side lets the
// chains overlap instead of waiting on each other.
void computeErrorTermResiduals(const int32_t* values, int32_t frames, int32_t* residuals, int32_t stride,
                               uint32_t costs[predictorCount])
{
    int32_t e2 = 0, e4 = 0, e6 = 0, e7 = 0, e9 = 0, e10 = 0, e14 = 0;
    uint32_t c2 = 0, c4 = 0, c6 = 0, c7 = 0, c9 = 0, c10 = 0, c14 = 0;
    int32_t* r2 = residuals + 2 * stride;
    int32_t* r4 = residuals + 4 * stride;
    int32_t* r6 = residuals + 6 * stride;
    int32_t* r7 = residuals + 7 * stride;
    int32_t* r9 = residuals + 9 * stride;
    int32_t* r10 = residuals + 10 * stride;
    int32_t* r14 = residuals + 14 * stride;
    for (int32_t i = 0; i < frames; ++i) {
        const int32_t v = values[i], p1 = values[i - 1], p2 = values[i - 2], p3 = values[i - 3], p4 = values[i - 4];
#define VOLTARA_STEP(P)                                                                                                \
    {                                                                                                                  \
        const int32_t r = wrapSub(wrapSub(v, basePrediction<P>(p1, p2, p3, p4)), e##P);                                \
        e##P = r / 2;                                                                                                  \
        r##P[i] = r;                                                                                                   \
        c##P += magnitudeOf(r);                                                                                        \
    }
        VOLTARA_STEP(2)
        VOLTARA_STEP(4)
        VOLTARA_STEP(6)
        VOLTARA_STEP(7)
        VOLTARA_STEP(9)
        VOLTARA_STEP(10)
        VOLTARA_STEP(14)
#undef VOLTARA_STEP
    }
    costs[2] = c2, costs[4] = c4, costs[6] = c6, costs[7] = c7, costs[9] = c9, costs[10] = c10, costs[14] = c14;
}

} // namespace

void computeAllResiduals(const int32_t* values, int32_t frames, int32_t* residuals, int32_t stride,
                         uint32_t costs[predictorCount])
{
    // The predictors without an error term have no chain from sample to sample:
    // one plain loop each, which the compiler vectorises.
    costs[0] = computeResiduals<0>(values, frames, residuals + 0 * stride);
    costs[1] = computeResiduals<1>(values, frames, residuals + 1 * stride);
    costs[3] = computeResiduals<3>(values, frames, residuals + 3 * stride);
    costs[5] = computeResiduals<5>(values, frames, residuals + 5 * stride);
    costs[8] = computeResiduals<8>(values, frames, residuals + 8 * stride);
    costs[11] = computeResiduals<11>(values, frames, residuals + 11 * stride);
    costs[12] = computeResiduals<12>(values, frames, residuals + 12 * stride);
    costs[13] = computeResiduals<13>(values, frames, residuals + 13 * stride);
    computeErrorTermResiduals(values, frames, residuals, stride, costs);
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
