#pragma once

#include <cmath>
#include <cstdint>

// What the modulated modules share about their LFOs.
namespace voltara {

// The free-running rate of the phaser, flanger and chorus knobs:
// 0.05 x 200^value, 0.05 .. 10 Hz (cycles per second).
inline float freeLfoRate(float value)
{
    return std::exp(5.2983174f * value - 2.9957323f);
}

// Lamp level 1 .. 7 of an LFO at position -1 .. +1: 1 + trunc(6.9 |x|).
// Bounded for the editor's three-bit lamp field even when a rate far outside
// 0 .. 1 lets the position leave its range; not-a-number shows as 1.
inline int32_t lfoLamp(float position)
{
    const float level = 6.9f * std::fabs(position);
    if (!(level < 6.0f))
        return level >= 6.0f ? 7 : 1;
    return 1 + static_cast<int32_t>(level);
}

} // namespace voltara
