#include "effects/TremoloModule.h"

#include "effects/TempoSync.h"

#include <cmath>

namespace voltara {

namespace {

const char* const names[] = {"TREM", "Sync", "Rate", "Depth", "-Width", "-Smooth", "", ""};

} // namespace

TremoloModule::TremoloModule() : FxModule({0.0f, 0.0f, 0.5f, 1.0f, 0.5f, 0.5f, 0.0f, 0.0f}) {}

void TremoloModule::setSampleRate(float rate)
{
    gain = 0.0f;
    phase = 0.0f;
    sampleRate = rate;
    invSampleRate = 1.0f / rate;
    for (int32_t slot = 0; slot < slotCount; ++slot)
        setParameter(slot, params[slot]);
}

void TremoloModule::setTempo(double beatsPerSampleNow, double)
{
    beatsPerSample = static_cast<float>(beatsPerSampleNow);
}

void TremoloModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case 0: on = switchIsOn(value); break;
    case 1: sync = switchIsOn(value); break;
    case 2: {
        syncCyclesPerBeat = static_cast<float>(TempoSync::cyclesPerBeat[TempoSync::noteIndex(value)]);
        const float hz = 16.0f * value;
        rateHz = hz;
        freeIncrement = hz * invSampleRate;
        break;
    }
    case 3:
        lowGain = 1.0001f - value; // never quite silent
        break;
    case 4: width = 0.5f * value + 0.25f; break;
    case 5: smoothCoef = 1.0f - std::exp(-std::exp(8.0f * value) * invSampleRate); break;
    default: break;
    }
}

void TremoloModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!on)
        return;
    float p = phase;
    float increment = freeIncrement;
    if (sync) {
        // One cycle per note, starting at each note boundary of the song.
        const float cycles = syncCyclesPerBeat;
        p = static_cast<float>(TempoSync::cyclePosition(cycles * songPosBeats, 1.0));
        increment = beatsPerSample * cycles;
    }
    const float fullShare = width;
    const float low = lowGain;
    const float coef = smoothCoef;
    float g = gain;
    for (int32_t i = 0; i < count; ++i) {
        p += increment;
        if (p > 1.0f)
            p -= 1.0f;
        const float target = p <= fullShare ? 1.0f : low;
        g += (target - g) * coef;
        frames[2 * i] *= g;
        frames[2 * i + 1] *= g;
    }
    phase = p;
    gain = g;
}

void TremoloModule::getParameterName(int32_t slot, char* text) const
{
    nameText(slot, "Tremolo", names, text);
}

void TremoloModule::getParameterText(int32_t slot, char* text) const
{
    switch (slot) {
    case 0:
    case 1: switchText(params[slot], text); break;
    case 2: syncableText(sync, params[2], "%4.0f Hz", rateHz, text); break;
    case 3:
    case 4:
    case 5: percentText(slot, "%.0f %%", text); break;
    default: copyText(text, ""); break;
    }
}

int32_t TremoloModule::getLfoLamp() const
{
    // Too fast to follow by eye: a steady middle level.
    const float fastAbove = sync ? 0.75f : 0.6f;
    if (params[2] > fastAbove)
        return 6;
    return phase <= width ? 7 : 3;
}

} // namespace voltara
