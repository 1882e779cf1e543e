#pragma once

#include "effects/FxModule.h"
#include "effects/SampleLine.h"

#include <cstdint>

namespace voltara {

// Stereo chorus (or slow detune) from one mono delay line read by two taps
// that move in opposite directions: left output from the first, right from
// the second. The tap delays are re-planned every 8 frames; a change of
// delay geometry jumps and fades the wet signal in again.
class ChorusModule : public FxModule {
public:
    // The eight parameter slots (slots 5 to 7 are unused).
    enum Slot : int32_t { onSwitch, modeSwitch, rateKnob, depthKnob, feedbackKnob };

    ChorusModule();

    void setSampleRate(float rate) override;
    void reset() override;
    void process(float* frames, int32_t count, double songPosBeats) override;
    void setParameter(int32_t slot, float value) override;
    int32_t getLfoLamp() const override;

private:
    static constexpr int32_t blockFrames = 8; // frames per control step

    void updateTargets();

    // Reset path and audio thread.
    SampleLine buffer_;        // mono line: bufferLength + 2 floats (guard at the end)
    int32_t bufferLength_ = 0; // trunc(0.05 x rate), 50 ms
    int32_t blockCounter_ = 1; // frames left in the current control block
    int32_t writeIndex_ = 0;   // next write, moves down
    int32_t tapIndex1_ = 0;    // integer read positions of the two taps
    int32_t tapIndex2_ = 0;
    float baseDelay_ = 0.0f; // frames, in use
    float depth_ = 0.0f;     // frames, in use
    float mix_ = 0.0f;       // wet share in use, glides toward mixTarget
    float fraction1_ = 0.0f; // fractional parts of the tap delays
    float fraction2_ = 0.0f;
    Relaxed<float> lfoPhase_{0.0f}; // 0 .. 2; also read for the lamp

    // Written by the host's parameter calls, read by process.
    Relaxed<int32_t> detune_{0};
    Relaxed<float> lfoIncrement_{0.0f};    // phase per control block
    Relaxed<float> baseDelayTarget_{0.0f}; // frames
    Relaxed<float> depthTarget_{0.0f};     // frames
    Relaxed<float> feedback_{0.0f};        // -0.47 .. 0
    Relaxed<float> mixTarget_{0.0f};       // wet share
};

} // namespace voltara
