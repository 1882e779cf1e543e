#pragma once

#include <cmath>

namespace voltara {

// Largest frequency coefficient F at which a state-variable section with
// damping q stays stable, with 2 % to spare: its update matrix has trace
// 2 - Fq - F^2 and determinant 1 - Fq, so it needs F^2 + 2qF < 4. Only sample
// rates below about 10 kHz bring the wah and the envelope filter there.
inline float stableFrequencyCoef(float damping)
{
    return 0.98f * (std::sqrt(damping * damping + 4.0f) - damping);
}

} // namespace voltara
