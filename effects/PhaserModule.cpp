#include "effects/PhaserModule.h"

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

inline float PhaserModule::phaseChannel(Channel& s, float input, const MixCoefs& mix)
{
    s.coef += s.coefStep;
    const float a = s.coef;
    float u = input + s.lastOut * mix.feedback;
    for (float& stage : s.stage) {
        const float y = a * u + stage;
        stage = u - a * y;
        u = y;
    }
    s.lastOut = u;
    return u * mix.wetGain + input * mix.dryGain;
}

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
    const MixCoefs mix{feedback_, wetGain_, dryGain_};
    int32_t counter = blockCounter_;
    Channel left = channels_[0];
    Channel right = channels_[1];

    for (int32_t i = 0; i < count; ++i) {
        if (--counter == 0) {
            counter = blockFrames;
            phase += increment;
            if (phase > 1.0f)
                phase -= 2.0f;
            const float leftTarget = std::min(range * (phase * phase) + base, maxStableCoef);
            left.coefStep = (leftTarget - left.coef) * rampScale;
            float p = offset + phase;
            if (p > 1.0f)
                p -= 2.0f;
            const float rightTarget = std::min(range * (p * p) + base, maxStableCoef);
            right.coefStep = (rightTarget - right.coef) * rampScale;
            left.lastOut += denormalGuard;
            right.lastOut += denormalGuard;
        }
        frames[2 * i] = phaseChannel(left, frames[2 * i], mix);
        frames[2 * i + 1] = phaseChannel(right, frames[2 * i + 1], mix);
    }

    blockCounter_ = counter;
    channels_[0] = left;
    channels_[1] = right;
    lfoPhase_ = phase;
}

} // namespace voltara
