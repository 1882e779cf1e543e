#include "effects/WahModule.h"

#include "effects/SvfStability.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace voltara {

namespace {

constexpr int32_t blockFrames = 32;    // frames per control step
constexpr float phaseTop = 201.06194f; // 64 pi: wrap point of the phase, radians
constexpr float fastestRate = 16.0f;   // Hz at Rate 1.0; the rate grows with the knob squared

// The phase is in radians; synchronised, each note starts 4.5 - pi radians
// into the cycle.
const SyncedLfo::Travel lfoTravel = {6.2831855, blockFrames, 0.0, -3.1415927, 4.5};
static_assert(static_cast<float>(6.2831855) * blockFrames == phaseTop, "a control step's phase at 1 Hz x rate");

constexpr FxModule::SlotText percent = percentSlot("%4.0f %%");

const FxModule::Description description = {
    "Wah",
    {"WAH", "Sync", "Rate", "Q", "Pedal", "*Max", "*Dirt", ""},
    {0.0f, 0.0f, 0.4f, 0.5f, 0.0f, 1.0f, 0.7f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%.2f Hz"), percent, percent, percent, percent, {}},
};

} // namespace

WahModule::WahModule() : FxModule(description), lfo_(lfoTravel) {}

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
    lfo_.setTempo(beatsPerSample);
}

void WahModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch: lfo_.setSync(switchIsOn(value)); break;
    case rateKnob: lfo_.setRate(value, fastestRate * (value * value), invSampleRate_); break;
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

    const SyncedLfo::Motion motion = lfo_.motion(lfoPhase_, songPosBeats);
    float phase = motion.phase;
    const float increment = motion.increment;
    const int32_t holdAtStart = pedalHold_;
    if (lfo_.freeIncrement() == 0.0f || holdAtStart > 0)
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
