#include "effects/TempoSync.h"

#include <cmath>

namespace voltara {
namespace TempoSync {

int32_t noteIndex(float value)
{
    const float scaled = 15.9f * value;
    if (!(scaled > 0.0f))
        return 0;
    if (scaled >= static_cast<float>(noteCount - 1))
        return noteCount - 1;
    return static_cast<int32_t>(scaled);
}

double cyclePosition(double position, double period)
{
    const double wrapped = std::fmod(position, period);
    return wrapped < 0.0 ? wrapped + period : wrapped;
}

const char* const moduleText[noteCount] = {
    "16/4", "8/4",  "4/4", "3/4",   "1/2",  "1/4*", "1/2T",  "1/4",
    "1/8*", "1/4T", "1/8", "1/16*", "1/8T", "1/16", "1/16T", "1/32",
};

const char* const editorText[noteCount] = {
    "16/4", "8/4",  "4/4", "3/4",   "2/4",  "1/4D", "1/2T",  "1/4",
    "1/8D", "1/4T", "1/8", "1/16D", "1/8T", "1/16", "1/16T", "1/32",
};

const double lengthInBeats[noteCount] = {
    16.0, 8.0, 4.0, 3.0, 2.0, 1.5, 4.0 / 3.0, 1.0, 0.75, 2.0 / 3.0, 0.5, 0.375, 1.0 / 3.0, 0.25, 1.0 / 6.0, 0.125,
};

const double cyclesPerBeat[noteCount] = {
    0.0625, 0.125, 0.25, 1.0 / 3.0, 0.5, 2.0 / 3.0, 0.75, 1.0, 4.0 / 3.0, 1.5, 2.0, 8.0 / 3.0, 3.0, 4.0, 6.0, 8.0,
};

} // namespace TempoSync
} // namespace voltara
