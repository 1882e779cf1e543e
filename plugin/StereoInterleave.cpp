#include "plugin/StereoInterleave.h"

#include <algorithm>
#include <cfloat>
#include <emmintrin.h>

namespace voltara {

namespace {

// x where |x| is at most the largest float, else 0 (infinities and not-a-number).
inline __m128 finiteOrZero(__m128 x)
{
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
    return _mm_and_ps(x, _mm_cmple_ps(magnitude, _mm_set1_ps(FLT_MAX)));
}

} // namespace

void interleaveFinite(const float* left, const float* right, float* work, int32_t frames)
{
    int32_t j = 0;
    for (; j + 4 <= frames; j += 4) {
        const __m128 l = finiteOrZero(_mm_loadu_ps(left + j));
        const __m128 r = finiteOrZero(_mm_loadu_ps(right + j));
        _mm_storeu_ps(work + 2 * j, _mm_unpacklo_ps(l, r));
        _mm_storeu_ps(work + 2 * j + 4, _mm_unpackhi_ps(l, r));
    }
    for (; j < frames; ++j) {
        work[2 * j] = finiteOrZero(left[j]);
        work[2 * j + 1] = finiteOrZero(right[j]);
    }
}

void deinterleaveLimited(const float* work, float* left, float* right, int32_t frames, float limit, bool accumulate)
{
    const __m128 high = _mm_set1_ps(limit);
    const __m128 low = _mm_set1_ps(-limit);
    // max and min answer their second operand when one is not a number, so
    // not-a-number comes through as std::clamp lets it.
    const auto limited = [&](__m128 x) { return _mm_min_ps(high, _mm_max_ps(low, x)); };
    int32_t j = 0;
    for (; j + 4 <= frames; j += 4) {
        const __m128 a = _mm_loadu_ps(work + 2 * j);
        const __m128 b = _mm_loadu_ps(work + 2 * j + 4);
        __m128 l = limited(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
        __m128 r = limited(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
        if (accumulate) {
            l = _mm_add_ps(_mm_loadu_ps(left + j), l);
            r = _mm_add_ps(_mm_loadu_ps(right + j), r);
        }
        _mm_storeu_ps(left + j, l);
        _mm_storeu_ps(right + j, r);
    }
    for (; j < frames; ++j) {
        const float l = std::clamp(work[2 * j], -limit, limit);
        const float r = std::clamp(work[2 * j + 1], -limit, limit);
        left[j] = accumulate ? left[j] + l : l;
        right[j] = accumulate ? right[j] + r : r;
    }
}

} // namespace voltara
