#pragma once

#include <cmath>

namespace voltara {

// The coefficient of a one-pole section with the rate perSecond (1/s):
// 1 - e^(-perSecond / sample rate).
inline float onePoleCoef(float perSecond, float invSampleRate)
{
    return 1.0f - std::exp(-(perSecond * invSampleRate));
}

// A knob that sets a rate of approach from e^0 to e^8 per second.
inline float exponentialRateCoef(float value, float invSampleRate)
{
    return onePoleCoef(std::exp(8.0f * value), invSampleRate);
}

} // namespace voltara
