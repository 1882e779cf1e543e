#pragma once

#include "common/Relaxed.h"

#include <cstdint>

namespace voltara {

// The rate of a modulation LFO that either runs free at a rate in Hz or
// follows the host's tempo at one of the sixteen note values (one cycle per
// note), shared by the wah, phaser, flanger and tremolo. The phase runs over
// `cycle` units per cycle and advances once per control step of
// `framesPerStep` frames; while synchronised, every process call re-derives
// it from the song position, so the LFO stays locked to the host's timeline.
class SyncedLfo {
public:
    // How a module's phase travels.
    struct Travel {
        double cycle;        // phase units per cycle
        float framesPerStep; // frames per control step
        double beatOffset;   // beats added to the song position before it becomes a phase
        double lowEnd;       // the phase's lowest value
        double startOffset;  // added to a synchronised phase once it is in its range
    };

    explicit SyncedLfo(const Travel& travel) : travel_(travel) {}

    // [host thread] The sync switch.
    void setSync(bool synced) { sync_ = synced; }
    // [host thread] The rate knob: value 0 .. 1 selects the note; hz is the
    // module's free rate for that value.
    void setRate(float value, float hz, float invSampleRate);
    // [audio thread] Host tempo, beats per sample.
    void setTempo(double beatsPerSample) { beatsPerSample_ = static_cast<float>(beatsPerSample); }

    bool synced() const { return sync_ != 0; }
    float rateHz() const { return rateHz_; }               // free-running rate
    float freeIncrement() const { return freeIncrement_; } // phase per control step, free-running

    // [audio thread] The phase and its increment per control step for a
    // process call at songPosBeats: free-running, the phase goes on from
    // `phase`; synchronised, it is placed where the song position puts it.
    struct Motion {
        float phase;
        float increment;
    };
    Motion motion(float phase, double songPosBeats) const;

private:
    const Travel travel_;
    Relaxed<int32_t> sync_{0};
    Relaxed<float> rateHz_{0.0f};
    Relaxed<float> freeIncrement_{0.0f};
    Relaxed<float> phasePerBeat_{0.0f};   // phase units per beat of the selected note
    Relaxed<float> beatsPerSample_{0.0f}; // 0 until the host tempo arrives
};

} // namespace voltara
