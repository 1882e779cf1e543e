#pragma once

#include "effects/FxModule.h"
#include "effects/SyncedLfo.h"

#include <cstdint>

namespace voltara {

// Gated tremolo: a phase ramp switches the gain target between full level
// and the "Depth" level, "-Width" sets the share of the cycle at full level
// and a one-pole smoother softens the edges. Free in Hz or a note value.
// The rack does not reset it when it is switched off: phase and gain go on
// from where they stood.
class TremoloModule : public FxModule {
public:
    // The eight parameter slots (slots 6 and 7 are unused).
    enum Slot : int32_t { onSwitch, syncSwitch, rateKnob, depthKnob, widthKnob, smoothKnob };

    TremoloModule();

    void setSampleRate(float rate) override;
    void setTempo(double beatsPerSample, double beatsPerBar) override;
    void process(float* frames, int32_t count, double songPosBeats) override;
    void setParameter(int32_t slot, float value) override;
    void getParameterText(int32_t slot, char* text) const override
    {
        syncableSlotText(slot, lfo_.synced(), lfo_.rateHz(), text);
    }
    int32_t getLfoLamp() const override;

private:
    // Audio thread (and reset); the phase is also read for the lamp.
    Relaxed<float> phase_{0.0f}; // 0 .. 1
    float gain_ = 0.0f;          // smoothed gain

    // Written by the host's parameter calls and setTempo, read by process.
    SyncedLfo lfo_;
    Relaxed<float> lowGain_{0.0f}; // 0.0001 .. 1.0001
    Relaxed<float> width_{0.0f};   // 0.25 .. 0.75 of the cycle at full level
    Relaxed<float> smoothCoef_{0.0f};
};

} // namespace voltara
