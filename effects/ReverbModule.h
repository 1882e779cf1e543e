#pragma once

#include "effects/FxModule.h"
#include "effects/SampleLine.h"

#include <cstdint>

namespace voltara {

// Spring, plate or hall reverb from one structure with per-model constants:
// the channel sum through a one-pole low-pass and high-pass, a four-stage
// all-pass diffuser living in one buffer, and a four-line feedback network
// with a sign-mixing matrix and damping in two lines. The dry signal always
// passes at full level. Where the rack places the reverb (slot 7) is the
// rack's business; the module only stores the value.
class ReverbModule : public FxModule {
public:
    // The eight parameter slots. Slot 6 is unused; where the rack places the
    // reverb (slot 7) is the rack's business, the module only stores it.
    enum Slot : int32_t { onSwitch, timeKnob, modeKnob, mixKnob, boingKnob, dirtKnob, positionSwitch = 7 };

    ReverbModule();

    void setSampleRate(float rate) override;
    void reset() override;
    void process(float* frames, int32_t count, double songPosBeats) override;
    void setParameter(int32_t slot, float value) override;
    void getParameterText(int32_t slot, char* text) const override;

private:
    static constexpr int32_t lineCount = 4;

    void updateModel();

    // Reset path and audio thread.
    SampleLine diffuserLine_;     // trunc(0.5 x rate) floats
    SampleLine lines_[lineCount]; // trunc(0.2 x rate) floats each
    int32_t diffuserWrite_ = 0;   // moves down
    int32_t lineWrite_ = 0;       // common to the four lines, moves down
    float inputLow_ = 0.0f;
    float inputHigh_ = 0.0f;
    float state_[lineCount] = {}; // per-line filter states

    // Written by the host's parameter calls, read by process.
    Relaxed<int32_t> model_{0}; // 0 Spring, 1 Plate, 2 Hall
    Relaxed<float> inputLowCoef_{0.0f};
    Relaxed<float> inputHighCoef_{0.0f};
    Relaxed<float> diffuserBase_{0.0f}; // samples
    Relaxed<float> diffuserGain_{0.0f}; // all-pass gain
    Relaxed<float> lineBase_{0.0f};     // samples
    Relaxed<float> decay_{0.0f};        // network feedback gain
    Relaxed<float> damping_{0.0f};      // one-pole coefficient
    Relaxed<float> wetGain_{0.0f};      // 0 .. 0.5
};

} // namespace voltara
