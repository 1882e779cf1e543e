#pragma once

#include <xmmintrin.h>

namespace voltara {

// The four lanes of an SSE register in the opposite order: delay lines run
// toward lower addresses as frames go on, so four frames read from a line
// arrive newest-address first.
inline __m128 reversed(__m128 x)
{
    return _mm_shuffle_ps(x, x, _MM_SHUFFLE(0, 1, 2, 3));
}

} // namespace voltara
