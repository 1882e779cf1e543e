#include "effects/TremoloModule.h"

#include "effects/OnePole.h"

#include <cmath>

namespace voltara {

namespace {

constexpr float fastestRate = 16.0f;     // Hz at Rate 1.0
constexpr float depthlessGain = 1.0001f; // the low gain is this - Depth: never quite silent
constexpr float narrowest = 0.25f;       // share of the cycle at full level at "-Width" 0
constexpr float widthSpan = 0.5f;        // added to it at "-Width" 1.0

// The phase runs over 0 .. 1 and advances every frame; synchronised, each
// cycle starts at a note boundary of the song.
const SyncedLfo::Travel lfoTravel = {1.0, 1.0f, 0.0, 0.0, 0.0};

constexpr FxModule::SlotText percent = percentSlot("%.0f %%");

const FxModule::Description description = {
    "Tremolo",
    {"TREM", "Sync", "Rate", "Depth", "-Width", "-Smooth", "", ""},
    {0.0f, 0.0f, 0.5f, 1.0f, 0.5f, 0.5f, 0.0f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%4.0f Hz"), percent, percent, percent, {}, {}},
};

} // namespace

TremoloModule::TremoloModule() : FxModule(description), lfo_(lfoTravel) {}

void TremoloModule::setSampleRate(float rate)
{
    gain_ = 0.0f;
    phase_ = 0.0f;
    storeSampleRate(rate);
    reapplyParameters();
}

void TremoloModule::setTempo(double beatsPerSample, double)
{
    lfo_.setTempo(beatsPerSample);
}

void TremoloModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch: lfo_.setSync(switchIsOn(value)); break;
    case rateKnob: lfo_.setRate(value, fastestRate * value, invSampleRate_); break;
    case depthKnob: lowGain_ = depthlessGain - value; break;
    case widthKnob: width_ = widthSpan * value + narrowest; break;
    case smoothKnob: smoothCoef_ = exponentialRateCoef(value, invSampleRate_); break;
    default: break;
    }
}

void TremoloModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!on_)
        return;
    const SyncedLfo::Motion motion = lfo_.motion(phase_, songPosBeats);
    float p = motion.phase;
    const float increment = motion.increment;
    const float fullShare = width_;
    const float low = lowGain_;
    const float coef = smoothCoef_;
    float g = gain_;
    for (int32_t i = 0; i < count; ++i) {
        p += increment;
        if (p > 1.0f)
            p -= 1.0f;
        const float target = p <= fullShare ? 1.0f : low;
        g += (target - g) * coef;
        frames[2 * i] *= g;
        frames[2 * i + 1] *= g;
    }
    phase_ = p;
    gain_ = g;
}

int32_t TremoloModule::getLfoLamp() const
{
    // Too fast to follow by eye: a steady middle level.
    const float fastAbove = lfo_.synced() ? 0.75f : 0.6f;
    if (params_[rateKnob] > fastAbove)
        return 6;
    return phase_ <= width_ ? 7 : 3;
}

} // namespace voltara
