#pragma once

#include "effects/FxModule.h"
#include "effects/Lfo.h"
#include "effects/SyncedLfo.h"

#include <cstdint>

namespace voltara {

// Stereo flanger: a 13 ms interleaved delay line, a triangle LFO (free or
// tempo-locked), cross-channel negative feedback and a subtractive wet mix.
// Every 256 frames it re-plans how fast a fractional read position must crawl
// so that the delay reaches the LFO's target by the end of the next 256
// frames; the reader only stands still or moves toward newer samples.
class FlangerModule : public FxModule {
public:
    // The eight parameter slots (slot 7 is unused).
    enum Slot : int32_t { onSwitch, syncSwitch, rateKnob, feedbackKnob, mixKnob, depthKnob, minKnob };

    FlangerModule();
    ~FlangerModule() override;

    void setSampleRate(float rate) override;
    void reset() override;
    void setTempo(double beatsPerSample, double beatsPerBar) override;
    void process(float* frames, int32_t count, double songPosBeats) override;
    void setParameter(int32_t slot, float value) override;
    void getParameterText(int32_t slot, char* text) const override
    {
        syncableSlotText(slot, lfo_.synced(), lfo_.rateHz(), text);
    }
    int32_t getLfoLamp() const override { return lfoLamp(lfoPhase_); }

private:
    // Longest line kept: far above the 13 ms of any real sample rate.
    static constexpr int32_t maxLineFrames = 1 << 20;

    // Audio-thread state. Frame j of the line holds right at an even index and
    // left at the odd index above it; newer frames lie lower. Two guard floats
    // past the end mirror floats 0 and 1. Absent when allocation failed: the
    // module then passes audio through untouched.
    float* buffer_ = nullptr;
    int32_t bufferLength_ = 0; // floats, without the guards; 2 x frames of 13 ms
    int32_t blockCounter_ = 1; // frames left until the next re-plan
    int32_t writeIndex_ = 1;   // float index of the next left write
    int32_t readIndex_ = 1;    // float index of the left read tap
    float delayedLeft_ = 0.0f; // last interpolated delayed samples
    float delayedRight_ = 0.0f;
    float readFraction_ = 0.0f; // 0 <= f < 1 after each frame
    float readStep_ = 0.0f;     // change of readFraction per frame, <= 0

    // Written by process, read by the editor's lamp query.
    Relaxed<float> lfoPhase_{0.0f}; // -1 .. +1
    // Written by the host's parameter calls and setTempo, read by process.
    SyncedLfo lfo_;
    Relaxed<float> centerDelay_{0.0f}; // frames, -0.006 .. +0.006 x rate
    Relaxed<float> depthDelay_{0.0f};  // frames, 0 .. 0.006 x rate
    Relaxed<float> feedback_{0.0f};    // cross-channel, 0 .. -0.81
    Relaxed<float> mix_{0.0f};         // wet share subtracted from the dry signal
};

} // namespace voltara
