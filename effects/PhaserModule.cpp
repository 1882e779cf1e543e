#include "effects/PhaserModule.h"

#include "effects/StereoLanes.h"

#include <algorithm>
#include <cmath>

namespace voltara {

namespace {

constexpr int32_t blockFrames = 32;   // frames per control step
constexpr float rampScale = 0.03125f; // 1 / frames per control step
constexpr float denormalGuard = 1e-8f;
// All-pass coefficients must stay below 1; only sample rates below about
// 26 kHz would sweep them past it.
constexpr float maxStableCoef = 0.99f;

// The phase runs over -1 .. +1; synchronised, three quarters of a beat ahead
// of the song position.
const SyncedLfo::Travel lfoTravel = {2.0, blockFrames, 0.75, -1.0, 0.0};

constexpr FxModule::SlotText percent = percentSlot("%4.0f %%");

const FxModule::Description description = {
    "Phaser",
    {"PHASER", "Sync", "Rate", "Color", "*Max", "*Min", "*Stereo", ""},
    {0.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.2f, 0.0f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%4.2f Hz"), percent, percent, percent, percent, {}},
};

} // namespace

PhaserModule::PhaserModule() : FxModule(description), lfo_(lfoTravel) {}

void PhaserModule::setSampleRate(float rate)
{
    blockCounter_ = 1;
    lfoPhase_ = 0.0f;
    for (Channel& channel : channels_)
        channel = Channel();
    storeSampleRate(rate);
    reapplyParameters();
}

void PhaserModule::setTempo(double beatsPerSample, double)
{
    lfo_.setTempo(beatsPerSample);
}

void PhaserModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch: lfo_.setSync(switchIsOn(value)); break;
    case rateKnob: lfo_.setRate(value, freeLfoRate(value), invSampleRate_); break;
    case colorKnob:
        if (value < 0.5f) {
            feedback_ = 0.01f;
            wetGain_ = value + 0.2f;
            dryGain_ = 1.0f - 0.586f * value;
        } else {
            feedback_ = 1.6f * value - 0.8f;
            const float gain = 0.825f - 0.25f * value;
            wetGain_ = gain;
            dryGain_ = gain;
        }
        break;
    case maxKnob: {
        const float depth = 160.0f * value;
        coefRange_ = depth * depth * invSampleRate_;
        break;
    }
    case minKnob: {
        const float low = 160.0f * value;
        coefBase_ = (low * low + 500.0f) * invSampleRate_ - 1.0f;
        break;
    }
    case stereoKnob: stereoOffset_ = value; break;
    default: break;
    }
}

namespace {

// Both channels' state as lanes during a block.
struct PhaserLanes {
    StereoLanes coef;
    StereoLanes coefStep;
    StereoLanes stage[4];
    StereoLanes lastOut;
};

// Runs frames through the four sections. Each section gives y = a u + s and
// keeps s' = u - a y; the cascade is taken whole, each section's output and
// kept value as sums of the input u0 and the kept values with powers of a
// (y4 = a^4 u0 + a^3 s1 + a^2 s2 + a s3 + s4, s_k' = (1 - a^2) y_(k-1) - a s_k),
// so that a frame waits on four operations instead of ten.
void runPhaser(PhaserLanes& state, StereoLanes feedback, StereoLanes wet, StereoLanes dry, float* frames, int32_t count)
{
    const StereoLanes one = StereoLanes::both(1.0f);
    PhaserLanes s = state;
    for (int32_t i = 0; i < count; ++i) {
        float* const frame = frames + 2 * i;
        const StereoLanes x = StereoLanes::load(frame);
        s.coef = s.coef + s.coefStep;
        const StereoLanes a = s.coef;
        const StereoLanes a2 = a * a;
        const StereoLanes a3 = a2 * a;
        const StereoLanes a4 = a2 * a2;
        const StereoLanes keep0 = one - a2;
        const StereoLanes keep1 = keep0 * a;
        const StereoLanes keep2 = keep0 * a2;
        const StereoLanes keep3 = keep0 * a3;
        const StereoLanes s1 = s.stage[0];
        const StereoLanes s2 = s.stage[1];
        const StereoLanes s3 = s.stage[2];
        const StereoLanes s4 = s.stage[3];
        const StereoLanes u0 = x + s.lastOut * feedback;
        const StereoLanes y4 = a4 * u0 + ((a3 * s1 + a2 * s2) + (a * s3 + s4));
        s.stage[0] = keep0 * u0 - a * s1;
        s.stage[1] = keep1 * u0 + (keep0 * s1 - a * s2);
        s.stage[2] = keep2 * u0 + ((keep1 * s1 + keep0 * s2) - a * s3);
        s.stage[3] = keep3 * u0 + ((keep2 * s1 + keep1 * s2) + (keep0 * s3 - a * s4));
        s.lastOut = y4;
        (y4 * wet + x * dry).store(frame);
    }
    state = s;
}

} // namespace

void PhaserModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!on_)
        return;
    const SyncedLfo::Motion motion = lfo_.motion(lfoPhase_, songPosBeats);
    float phase = motion.phase;
    const float increment = motion.increment;
    const float base = coefBase_;
    const float range = coefRange_;
    const float offset = stereoOffset_;
    const StereoLanes feedback = StereoLanes::both(feedback_);
    const StereoLanes wet = StereoLanes::both(wetGain_);
    const StereoLanes dry = StereoLanes::both(dryGain_);
    const StereoLanes guard = StereoLanes::of(denormalGuard, denormalGuard);
    int32_t counter = blockCounter_;
    const Channel& l = channels_[0];
    const Channel& r = channels_[1];
    PhaserLanes state;
    state.coef = StereoLanes::of(l.coef, r.coef);
    state.coefStep = StereoLanes::of(l.coefStep, r.coefStep);
    for (int32_t k = 0; k < 4; ++k)
        state.stage[k] = StereoLanes::of(l.stage[k], r.stage[k]);
    state.lastOut = StereoLanes::of(l.lastOut, r.lastOut);

    for (int32_t i = 0; i < count;) {
        if (--counter == 0) {
            counter = blockFrames;
            phase += increment;
            if (phase > 1.0f)
                phase -= 2.0f;
            const float leftTarget = std::min(range * (phase * phase) + base, maxStableCoef);
            float p = offset + phase;
            if (p > 1.0f)
                p -= 2.0f;
            const float rightTarget = std::min(range * (p * p) + base, maxStableCoef);
            const StereoLanes target = StereoLanes::of(leftTarget, rightTarget);
            state.coefStep = (target - state.coef) * StereoLanes::both(rampScale);
            state.lastOut = state.lastOut + guard;
        }
        // The frames up to the next control step share the ramp.
        const int32_t run = std::min(counter, count - i);
        runPhaser(state, feedback, wet, dry, frames + 2 * i, run);
        i += run;
        counter -= run - 1;
    }

    blockCounter_ = counter;
    for (int32_t k = 0; k < 4; ++k) {
        channels_[0].stage[k] = state.stage[k].left();
        channels_[1].stage[k] = state.stage[k].right();
    }
    channels_[0].coef = state.coef.left();
    channels_[1].coef = state.coef.right();
    channels_[0].coefStep = state.coefStep.left();
    channels_[1].coefStep = state.coefStep.right();
    channels_[0].lastOut = state.lastOut.left();
    channels_[1].lastOut = state.lastOut.right();
    lfoPhase_ = phase;
}

} // namespace voltara
