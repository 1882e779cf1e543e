#pragma once

#include "effects/FxModule.h"

#include <cstdint>

namespace voltara {

// Envelope filter: two cascaded state-variable band-pass sections per channel
// whose shared frequency glides toward one of two limits, chosen every frame
// by whether the input level is above the threshold. Instant attack,
// exponential release; the first section's band state is limited and
// soft-clipped.
class FilterModule : public FxModule {
public:
    // The eight parameter slots.
    enum Slot : int32_t { onSwitch, thresholdKnob, resonanceKnob, modeSwitch, minKnob, maxKnob, speedKnob, holdKnob };

    FilterModule();

    void setSampleRate(float rate) override;
    void process(float* frames, int32_t count, double songPosBeats) override;
    void setParameter(int32_t slot, float value) override;
    int32_t getLfoLamp() const override;

private:
    // One channel: first section (low1, band1), second section (low2, band2).
    struct Channel {
        float low1 = 0.0f;
        float band1 = 0.0f;
        float low2 = 0.0f;
        float band2 = 0.0f;
    };

    // Audio-thread state.
    float freqCoef_ = 0.1f;   // current frequency coefficient of all four sections
    float envelope_ = 0.1f;   // detector, sum of both channels' magnitudes
    float bandLimit_ = 0.63f; // first sections' band-state limit
    Channel channels_[2];

    // Written by the host's parameter calls (or setSampleRate), read by process.
    Relaxed<int32_t> modeUp_{0};       // a loud input sweeps toward maxCoef
    Relaxed<int32_t> lamp_{0};         // 7 above the threshold, 3 below, 0 after a reset
    Relaxed<float> glideCoef_{0.0f};   // per frame, 1 .. 2981 per second
    Relaxed<float> releaseCoef_{0.0f}; // per frame, 1 .. 2981 per second
    Relaxed<float> maxCoef_{0.0f};     // (100 .. 15100 Hz) / rate
    Relaxed<float> minCoef_{0.0f};     // (100 .. 15100 Hz) / rate
    Relaxed<float> threshold_{0.0f};   // Thresh cubed, 0 .. 1
    Relaxed<float> damping_{0.0f};     // 0.51 .. 0.01
};

} // namespace voltara
