#pragma once

#include "effects/FxModule.h"
#include "effects/SyncedLfo.h"

#include <cstdint>

namespace voltara {

// Automatic wah: a resonant state-variable low-pass per channel whose corner
// follows a clipped-cosine LFO (free or tempo-locked) raised by the pedal.
// Touching the pedal parks the LFO for 500 control blocks. The band state is
// limited and soft-clipped, which gives the grit.
class WahModule : public FxModule {
public:
    // The eight parameter slots (slot 7 is unused).
    enum Slot : int32_t { onSwitch, syncSwitch, rateKnob, qKnob, pedalKnob, maxKnob, dirtKnob };

    WahModule();

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
    static constexpr int32_t pedalHoldBlocks = 500;

    struct Channel {
        float low = 0.0f;
        float band = 0.0f;
        float clampedBand = 0.0f; // the band state limited, before its soft clip
        float inputLow = 0.0f;    // one-pole low-passed input
    };

    // Audio-thread state.
    int32_t blockCounter_ = 1; // frames left in the current control block
    float lfoPhase_ = 0.0f;    // radians, 0 .. 64 pi
    float position_ = 0.0f;    // smoothed sweep position, 0 .. 1
    float freqCoef_ = 0.0f;    // current filter frequency coefficient
    Channel channels_[2];

    // Written by the host's parameter calls, read by process.
    SyncedLfo lfo_;
    // Control blocks left without LFO; set by a pedal change, counted down
    // (and on below zero) by process.
    Relaxed<int32_t> pedalHold_{0};
    Relaxed<int32_t> lamp_{0};         // 7 after the upper clip, 4 after the lower
    Relaxed<float> minCoef_{0.0f};     // 1900 Hz / rate
    Relaxed<float> pedalAmount_{0.0f}; // pedal squared, 0 .. 1
    Relaxed<float> maxCoef_{0.0f};     // (1900 .. 14900 Hz) / rate
    Relaxed<float> damping_{0.0f};     // 0.52 .. 0.02
    Relaxed<float> bandLimit_{0.0f};   // 2.0 .. 0.05
    Relaxed<float> inputCoef_{0.0f};   // 10000 Hz / rate
};

} // namespace voltara
