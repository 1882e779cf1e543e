#include "effects/WahModule.h"

#include "effects/SvfStability.h"
#include "effects/TempoSync.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace voltara {

namespace {

constexpr float phaseTop = 201.06194f; // 64 pi: wrap point of the phase, radians

constexpr FxModule::SlotText percent = percentSlot("%4.0f %%");

const FxModule::Description description = {
    "Wah",
    {"WAH", "Sync", "Rate", "Q", "Pedal", "*Max", "*Dirt", ""},
    {0.0f, 0.0f, 0.4f, 0.5f, 0.0f, 1.0f, 0.7f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%.2f Hz"), percent, percent, percent, percent, {}},
};

} // namespace

WahModule::WahModule() : FxModule(description) {}

void WahModule::setSampleRate(float rate)
{
    blockCounter_ = 1;
    lfoPhase_ = 0.0f;
    for (Channel& channel : channels_)
        channel = Channel();
    storeSampleRate(rate);
    inputCoef_ = 10000.0f / rate;
    minCoef_ = 1900.0f / rate;
    reapplyParameters();
}

void WahModule::setTempo(double beatsPerSample, double)
{
    syncIncrement_ = static_cast<float>(32.0 * beatsPerSample);
}

void WahModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch: sync_ = switchIsOn(value); break;
    case rateKnob: {
        syncRadiansPerBeat_ = static_cast<float>(TempoSync::cyclesPerBeatAt(value) * 6.2831855);
        const float rate = 16.0f * (value * value);
        rateHz_ = rate;
        freeIncrement_ = rate * invSampleRate_ * phaseTop;
        break;
    }
    case qKnob: damping_ = 0.52f - 0.5f * value; break;
    case pedalKnob:
        pedalAmount_ = value * value;
        pedalHold_ = pedalHoldBlocks;
        break;
    case maxKnob: maxCoef_ = (13000.0f * value + 1900.0f) * invSampleRate_; break;
    case dirtKnob: bandLimit_ = 2.0f - 1.95f * value; break;
    default: break;
    }
}

void WahModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!on_)
        return;
    const float limit = bandLimit_;
    const float softClip = 1.0f / (3.0f * (limit * limit));

    float phase = lfoPhase_;
    const float freeStep = freeIncrement_;
    float increment = freeStep;
    if (sync_) {
        phase = static_cast<float>(TempoSync::cyclePosition(syncRadiansPerBeat_ * songPosBeats, 6.2831854820251465)
                                   - 3.1415927 + 4.5);
        increment = syncIncrement_ * syncRadiansPerBeat_;
    }
    const int32_t holdAtStart = pedalHold_;
    if (freeStep == 0.0f || holdAtStart > 0)
        phase = 0.0f;

    const float lowCoef = minCoef_;
    const float highCoef = maxCoef_;
    const float pedal = pedalAmount_;
    const float q = damping_;
    // At low sample rates the top of the sweep would make the filter unstable.
    const float stable = stableFrequencyCoef(q);
    const float inCoef = inputCoef_;
    int32_t hold = holdAtStart;
    int32_t counter = blockCounter_;
    int32_t lampLevel = lamp_;
    float pos = position_;
    float f = freqCoef_;
    Channel state[2] = {channels_[0], channels_[1]};

    for (int32_t i = 0; i < count; ++i) {
        if (--counter == 0) {
            counter = blockFrames;
            phase += increment;
            if (phase > phaseTop)
                phase -= phaseTop;
            if (hold > INT_MIN) // counts on below zero; stops short of overflow
                --hold;
            float u = 0.0f;
            if (hold <= 0) {
                float c = -std::cos(phase);
                if (c > 0.5f) {
                    c = 0.5f;
                    lampLevel = 7;
                } else if (c < -0.5f) {
                    c = -0.5f;
                    lampLevel = 4;
                }
                u = c + 0.5f;
            }
            const float target = u + (1.0f - u) * pedal;
            pos += (target - pos) * 0.01f;
            f = std::min(lowCoef + (highCoef - lowCoef) * pos, stable);
        }
        for (int32_t ch = 0; ch < 2; ++ch) {
            Channel& s = state[ch];
            const float x = frames[2 * i + ch];
            const float d = x - s.inputLow;
            s.inputLow += d * inCoef;
            s.low += f * s.band;
            s.high = 2.0f * d + q * s.band + s.low;
            float band = s.band - f * s.high;
            band = std::min(std::max(band, -limit), limit);
            band -= band * band * band * softClip;
            s.band = band;
            frames[2 * i + ch] = 0.5f * s.inputLow + s.low;
        }
    }

    blockCounter_ = counter;
    lfoPhase_ = phase;
    position_ = pos;
    freqCoef_ = f;
    channels_[0] = state[0];
    channels_[1] = state[1];
    lamp_ = lampLevel;
    // A pedal change during the block wins over the count-down.
    int32_t expected = holdAtStart;
    pedalHold_.compareExchange(expected, hold);
}

int32_t WahModule::getLfoLamp() const
{
    return lamp_;
}

} // namespace voltara
