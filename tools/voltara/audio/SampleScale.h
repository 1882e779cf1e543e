#pragma once

#include <cmath>
#include <cstdint>

namespace voltara {

// Float samples (full scale -1 .. 1) as integers of bits bits: rounded and
// held at the largest value of each sign. A float of +1.0 itself lies one
// step beyond the largest positive integer.
inline int32_t integerSample(float sample, int bits)
{
    const double scale = std::ldexp(1.0, bits - 1);
    const double scaled = std::nearbyint(double(sample) * scale);
    if (!(scaled >= -scale))
        return scaled > 0 ? int32_t(scale - 1) : int32_t(-scale); // NaN counts as the lowest
    return scaled > scale - 1 ? int32_t(scale - 1) : int32_t(scaled);
}

// Whether integerSample had to hold the sample at the edge.
inline bool beyondFullScale(float sample, int bits)
{
    const double scale = std::ldexp(1.0, bits - 1);
    const double scaled = std::nearbyint(double(sample) * scale);
    return !(scaled >= -scale && scaled <= scale - 1);
}

} // namespace voltara
