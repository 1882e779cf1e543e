#include "effects/SyncedLfo.h"

#include "effects/TempoSync.h"

namespace voltara {

void SyncedLfo::setRate(float value, float hz, float invSampleRate)
{
    phasePerBeat_ = static_cast<float>(TempoSync::cyclesPerBeatAt(value) * travel_.cycle);
    rateHz_ = hz;
    freeIncrement_ = hz * invSampleRate * (static_cast<float>(travel_.cycle) * travel_.framesPerStep);
}

SyncedLfo::Motion SyncedLfo::motion(float phase, double songPosBeats) const
{
    if (!sync_)
        return {phase, freeIncrement_};
    const float perBeat = phasePerBeat_;
    // The phase is a float: the song position's phase wraps at the cycle as a float holds it.
    const double wrap = static_cast<float>(travel_.cycle);
    const double placed = TempoSync::cyclePosition((songPosBeats + travel_.beatOffset) * perBeat, wrap);
    return {static_cast<float>(placed + travel_.lowEnd + travel_.startOffset),
            travel_.framesPerStep * (beatsPerSample_ * perBeat)};
}

} // namespace voltara
