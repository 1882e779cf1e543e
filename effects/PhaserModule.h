#pragma once

#include "effects/FxModule.h"
#include "effects/Lfo.h"
#include "effects/SyncedLfo.h"

#include <cstdint>

namespace voltara {

// Four-stage phaser: per channel four first-order all-pass sections with one
// common coefficient, fed back from the last stage and mixed with the dry
// input. The coefficient follows a parabola of a -1 .. +1 LFO phase (free or
// tempo-locked), evaluated every 32 frames and ramped in between; the right
// channel's LFO runs "*Stereo" half-cycles ahead.
class PhaserModule : public FxModule {
public:
    // The eight parameter slots (slot 7 is unused).
    enum Slot : int32_t { onSwitch, syncSwitch, rateKnob, colorKnob, maxKnob, minKnob, stereoKnob };

    PhaserModule();

    void setSampleRate(float rate) override;
    void setTempo(double beatsPerSample, double beatsPerBar) override;
    void process(float* frames, int32_t count, double songPosBeats) override;
    void setParameter(int32_t slot, float value) override;
    void getParameterText(int32_t slot, char* text) const override
    {
        syncableSlotText(slot, lfo_.synced(), lfo_.rateHz(), text);
    }
    int32_t getLfoLamp() const override { return lfoLamp(lfoPhase_); }

private:
    struct Channel {
        float coef = 0.0f;     // current all-pass coefficient
        float coefStep = 0.0f; // per-frame ramp toward the next target
        float stage[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        float lastOut = 0.0f; // last fourth-stage output, fed back
    };

    // Audio-thread state.
    int32_t blockCounter_ = 1; // frames left in the current control block
    Channel channels_[2];

    // Written by process, read by the editor's lamp query.
    Relaxed<float> lfoPhase_{0.0f}; // -1 .. +1
    // Written by the host's parameter calls and setTempo, read by process.
    SyncedLfo lfo_;
    Relaxed<float> coefBase_{0.0f};     // coefficient at phase 0
    Relaxed<float> coefRange_{0.0f};    // added at phase +-1
    Relaxed<float> stereoOffset_{0.0f}; // right phase - left phase, 0 .. 1
    Relaxed<float> feedback_{0.0f};     // 0 .. 0.8
    Relaxed<float> wetGain_{0.0f};
    Relaxed<float> dryGain_{0.0f};
};

} // namespace voltara
