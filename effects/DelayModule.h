#pragma once

#include "effects/FxModule.h"
#include "effects/SampleLine.h"

#include <cstdint>

namespace voltara {

// Tape echo: a three-second mono tape with four read heads whose layout and
// mixing follow the mode (Mono, M.Head, P.Pong, M.Tap). The right echo goes
// back onto the tape through a limiter, a low cut and a high cut that move
// with "Char", and a short flutter line whose delay glides to a new random
// value every 256 frames. Time is free (50 ms .. 2.5 s) or a note value.
class DelayModule : public FxModule {
public:
    // The eight parameter slots.
    enum Slot : int32_t { onSwitch, syncSwitch, timeKnob, modeKnob, feedbackKnob, characterKnob, mixKnob, flutterKnob };

    DelayModule();

    // The free-running delay time of the Time knob's value: 2.45 v^2 + 0.05,
    // 0.05 .. 2.5 s. Its text and the editor's display both show it.
    static float freeTime(float value) { return 2.45f * (value * value) + 0.05f; }

    void setSampleRate(float rate) override;
    void reset() override;
    void setTempo(double beatsPerSample, double beatsPerBar) override;
    void process(float* frames, int32_t count, double songPosBeats) override;
    void setParameter(int32_t slot, float value) override;
    void getParameterText(int32_t slot, char* text) const override;

private:
    static constexpr int32_t headCount = 4;
    static constexpr int32_t flutterLength = 256; // positions; 2 guard floats follow

    void updateTime();
    void updateCharacter();
    void layoutHeads();

    // Reset path and audio thread.
    SampleLine tape_;          // tapeLength floats
    SampleLine flutterLine_;   // flutterLength + 2 floats
    int32_t writeIndex_ = 0;   // next tape write, moves down
    float lowCutState_ = 0.0f; // low-cut integrator
    float highCutState_ = 0.0f;
    int32_t flutterWrite_ = 0;     // flutterLength - 1 .. 0, moves down
    int32_t flutterRead_ = 0;      // 0 .. flutterLength - 1
    float flutterFraction_ = 0.0f; // below 1 while the target stays on the line
    float flutterStep_ = 0.0f;     // change of flutterFraction per frame
    float limiterLevel_ = 1.0f;    // settles at 1 while the echo stays below unity

    // Written by the host's parameter calls (the layout also by setTempo),
    // read by process.
    Relaxed<int32_t> sync_{0};
    Relaxed<int32_t> mode_{0};          // 0 Mono, 1 M.Head, 2 P.Pong, 3 M.Tap
    Relaxed<int32_t> tapeLength_{100};  // floats, 3 x trunc(rate)
    Relaxed<int32_t> heads_[headCount]; // offsets in frames
    Relaxed<float> delayTime_{4410.0f}; // requested delay, samples
    Relaxed<float> lowCutCoef_{0.0f};
    Relaxed<float> highCutCoef_{0.0f};
    Relaxed<float> feedbackGain_{0.0f};
    Relaxed<float> headWeight_{0.0f}; // per mode
    Relaxed<float> wetGain_{0.0f};    // 0 .. 0.2
    Relaxed<float> mixA_{0.0f};       // per-mode head mixing
    Relaxed<float> mixB_{0.0f};
    Relaxed<float> noteBeats_{0.0f};      // length of the selected note, beats
    Relaxed<float> samplesPerBeat_{0.0f}; // 0 until the host tempo arrives
    Relaxed<float> flutterMax_{0.0f};     // samples, 2.5 ms
    Relaxed<float> flutterAmount_{0.0f};  // samples per unit of (rand() - 16384)
    Relaxed<float> limiterCoef_{0.0f};
};

} // namespace voltara
