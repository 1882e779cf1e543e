#include "effects/TremoloModule.h"

#include "effects/OnePole.h"
#include "effects/TempoSync.h"

#include <cmath>

namespace voltara {

namespace {

constexpr FxModule::SlotText percent = percentSlot("%.0f %%");

const FxModule::Description description = {
    "Tremolo",
    {"TREM", "Sync", "Rate", "Depth", "-Width", "-Smooth", "", ""},
    {0.0f, 0.0f, 0.5f, 1.0f, 0.5f, 0.5f, 0.0f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%4.0f Hz"), percent, percent, percent, {}, {}},
};

} // namespace

TremoloModule::TremoloModule() : FxModule(description) {}

void TremoloModule::setSampleRate(float rate)
{
    gain_ = 0.0f;
    phase_ = 0.0f;
    storeSampleRate(rate);
    reapplyParameters();
}

void TremoloModule::setTempo(double beatsPerSample, double)
{
    beatsPerSample_ = static_cast<float>(beatsPerSample);
}

void TremoloModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch: sync_ = switchIsOn(value); break;
    case rateKnob: {
        syncCyclesPerBeat_ = static_cast<float>(TempoSync::cyclesPerBeatAt(value));
        const float hz = 16.0f * value;
        rateHz_ = hz;
        freeIncrement_ = hz * invSampleRate_;
        break;
    }
    case depthKnob:
        lowGain_ = 1.0001f - value; // never quite silent
        break;
    case widthKnob: width_ = 0.5f * value + 0.25f; break;
    case smoothKnob: smoothCoef_ = exponentialRateCoef(value, invSampleRate_); break;
    default: break;
    }
}

void TremoloModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!on_)
        return;
    float p = phase_;
    float increment = freeIncrement_;
    if (sync_) {
        // One cycle per note, starting at each note boundary of the song.
        const float cycles = syncCyclesPerBeat_;
        p = static_cast<float>(TempoSync::cyclePosition(cycles * songPosBeats, 1.0));
        increment = beatsPerSample_ * cycles;
    }
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
    const float fastAbove = sync_ ? 0.75f : 0.6f;
    if (params_[rateKnob] > fastAbove)
        return 6;
    return phase_ <= width_ ? 7 : 3;
}

} // namespace voltara
