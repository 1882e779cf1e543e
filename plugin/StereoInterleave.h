#pragma once

#include <cmath>
#include <cstdint>

namespace voltara {

// Moving audio between the host's two channel buffers and the rack's
// interleaved work buffer, four frames at a time (SSE2).

// A sample that is not finite becomes 0: it would stay in feedback and delay
// state for good.
inline float finiteOrZero(float sample)
{
    return std::isfinite(sample) ? sample : 0.0f;
}

// work = left and right interleaved, each sample finite or 0.
void interleaveFinite(const float* left, const float* right, float* work, int32_t frames);

// left and right = the work buffer's channels limited to -limit .. +limit
// (not-a-number passes as it is), or added to them when accumulating.
void deinterleaveLimited(const float* work, float* left, float* right, int32_t frames, float limit, bool accumulate);

} // namespace voltara
