#pragma once

#include <emmintrin.h>

namespace voltara {

// The left and right channel of one frame as the two low lanes of an SSE
// register (SSE2 is the baseline of every build), so that a module whose
// channels run the same recursion runs both with one instruction per step.
// The two high lanes are carried along unused. Every operation is the single
// IEEE one of its scalar counterpart, so each lane gives the float the same
// formula gives on one channel.
struct StereoLanes {
    __m128 v;

    static StereoLanes both(float value) { return {_mm_set1_ps(value)}; }
    static StereoLanes of(float left, float right) { return {_mm_setr_ps(left, right, 0.0f, 0.0f)}; }
    // The frame at `frame` (left, then right).
    static StereoLanes load(const float* frame)
    {
        return {_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(frame))};
    }
    void store(float* frame) const { _mm_storel_pi(reinterpret_cast<__m64*>(frame), v); }

    float left() const { return _mm_cvtss_f32(v); }
    float right() const { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))); }
};

inline StereoLanes operator+(StereoLanes a, StereoLanes b)
{
    return {_mm_add_ps(a.v, b.v)};
}

inline StereoLanes operator-(StereoLanes a, StereoLanes b)
{
    return {_mm_sub_ps(a.v, b.v)};
}

inline StereoLanes operator*(StereoLanes a, StereoLanes b)
{
    return {_mm_mul_ps(a.v, b.v)};
}

// Where a > b: a lane of all ones, else of zeros.
inline StereoLanes greater(StereoLanes a, StereoLanes b)
{
    return {_mm_cmpgt_ps(a.v, b.v)};
}

// ifTrue where the lane of `mask` (from greater) is set, else ifFalse.
inline StereoLanes select(StereoLanes mask, StereoLanes ifTrue, StereoLanes ifFalse)
{
    return {_mm_or_ps(_mm_and_ps(mask.v, ifTrue.v), _mm_andnot_ps(mask.v, ifFalse.v))};
}

inline StereoLanes magnitude(StereoLanes x)
{
    return {_mm_andnot_ps(_mm_set1_ps(-0.0f), x.v)};
}

// Each lane's left and right swapped.
inline StereoLanes swapped(StereoLanes x)
{
    return {_mm_shuffle_ps(x.v, x.v, _MM_SHUFFLE(2, 3, 0, 1))};
}

// The left lane of a, then the left lane of b.
inline StereoLanes interleavedLow(StereoLanes a, StereoLanes b)
{
    return {_mm_unpacklo_ps(a.v, b.v)};
}

// x limited to -limit .. +limit (limit not negative); not-a-number becomes -limit.
inline StereoLanes limited(StereoLanes x, StereoLanes limit)
{
    const __m128 negative = _mm_sub_ps(_mm_setzero_ps(), limit.v);
    return {_mm_min_ps(_mm_max_ps(x.v, negative), limit.v)};
}

} // namespace voltara
