#include "tests/support/StereoTones.h"

#include <cmath>

namespace voltara::test {

Stereo tones(std::size_t frames)
{
    Stereo signal(frames);
    for (std::size_t j = 0; j < frames; ++j) {
        signal.left[j] = 0.5f * float(std::sin(0.0627 * double(j)));
        signal.right[j] = 0.4f * float(std::sin(0.0311 * double(j) + 1.0));
    }
    return signal;
}

} // namespace voltara::test
