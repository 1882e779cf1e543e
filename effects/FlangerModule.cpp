#include "effects/FlangerModule.h"

#include "effects/LfoLamp.h"
#include "effects/TempoSync.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace voltara {

namespace {

constexpr float outputGain = 0.7f;
constexpr float planScale = 0.00390625f; // 1 / frames per re-plan

const char* const names[] = {"FLANGE", "Sync", "Rate", "Fbk", "*Mix", "*Depth", "*Min", ""};

} // namespace

FlangerModule::FlangerModule() : FxModule({0.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.25f, 0.5f, 0.0f}) {}

FlangerModule::~FlangerModule()
{
    delete[] buffer;
}

void FlangerModule::setSampleRate(float rate)
{
    sampleRate = rate;
    invSampleRate = 1.0f / rate;
    writeIndex = 1;
    readIndex = 1;
    blockCounter = 1;
    delayedLeft = 0.0f;
    delayedRight = 0.0f;
    readFraction = 0.0f;
    readStep = 0.0f;
    lfoPhase = 0.0f;

    // A rate too low for one frame of line, too high or not a number gets no
    // line at all rather than one that indexes outside its storage.
    const float lineFrames = 0.013f * rate;
    const int32_t length = (lineFrames >= 1.0f && lineFrames <= static_cast<float>(maxLineFrames))
                               ? 2 * static_cast<int32_t>(lineFrames)
                               : 0;
    if (length != bufferLength) {
        delete[] buffer;
        buffer = length > 0 ? new (std::nothrow) float[length + 2] : nullptr;
        bufferLength = buffer ? length : 0; // a failed allocation is retried next time
    }
    if (buffer)
        std::fill(buffer, buffer + bufferLength + 2, 0.0f);

    for (int32_t slot = 0; slot < slotCount; ++slot)
        setParameter(slot, params[slot]);
}

void FlangerModule::setTempo(double beatsPerSample, double)
{
    tempoIncrement = static_cast<float>(beatsPerSample);
}

void FlangerModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case 0: on = switchIsOn(value); break;
    case 1: sync = switchIsOn(value); break;
    case 2: {
        const int32_t note = TempoSync::noteIndex(value);
        syncPhasePerBeat = static_cast<float>(2.0 * TempoSync::cyclesPerBeat[note]);
        // 0.05 x 200^value: 0.05 .. 10 Hz
        const float rate = std::exp(5.2983174f * value - 2.9957323f);
        rateHz = rate;
        freeIncrement = rate * invSampleRate * 512.0f;
        break;
    }
    case 3: feedback = -0.81f * value; break;
    case 4: mix = value; break;
    case 5: depthDelay = value * sampleRate * 0.006f; break;
    case 6: centerDelay = (value - 0.5f) * sampleRate * 0.012f; break;
    default: break;
    }
}

void FlangerModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!buffer || !on)
        return;
    float phase = lfoPhase;
    float increment = freeIncrement;
    if (sync) {
        const float perBeat = syncPhasePerBeat;
        phase = static_cast<float>(TempoSync::cyclePosition(perBeat * songPosBeats, 2.0) - 1.0);
        increment = 512.0f * tempoIncrement * perBeat / 2.0f;
    }
    const float center = centerDelay;
    const float depth = depthDelay;
    const float fb = feedback;
    const float wet = mix;
    float* const b = buffer;
    const int32_t length = bufferLength;
    int32_t counter = blockCounter;
    int32_t w = writeIndex;
    int32_t r = readIndex;
    float dL = delayedLeft;
    float dR = delayedRight;
    float fraction = readFraction;
    float step = readStep;

    for (int32_t i = 0; i < count; ++i) {
        const float xL = frames[2 * i];
        const float xR = frames[2 * i + 1];
        if (--counter == 0) {
            counter = blockFrames;
            phase += increment;
            if (phase > 1.0f)
                phase -= 2.0f;
            const float target = std::fabs(center - std::fabs(phase) * depth); // frames
            int32_t distance = (r - w) % length;
            if (distance < 0)
                distance += length;
            distance >>= 1; // whole frames
            step = (target - fraction - static_cast<float>(distance)) * planScale - 1.0f;
            if (step > 0.0f)
                step = 0.0f;
        }

        w -= 2;
        b[w + 2] = xL + fb * dR;
        b[w + 1] = xR + fb * dL;
        if (w < 0) {
            b[length] = b[0];
            b[length + 1] = b[1];
            w = length - 1;
        }

        dL = b[r] + (b[r + 2] - b[r]) * fraction;
        dR = b[r - 1] + (b[r + 1] - b[r - 1]) * fraction;
        frames[2 * i] = outputGain * (xL - wet * dL);
        frames[2 * i + 1] = outputGain * (xR - wet * dR);

        // Bounded: step is at least -(1 + line frames / 256), or NaN.
        fraction += step;
        while (fraction < 0.0f) {
            fraction += 1.0f;
            r -= 2;
            if (r < 0)
                r = length - 1;
        }
    }

    blockCounter = counter;
    writeIndex = w;
    readIndex = r;
    delayedLeft = dL;
    delayedRight = dR;
    readFraction = fraction;
    readStep = step;
    lfoPhase = phase;
}

void FlangerModule::getParameterName(int32_t slot, char* text) const
{
    nameText(slot, "Flanger", names, text);
}

void FlangerModule::getParameterText(int32_t slot, char* text) const
{
    switch (slot) {
    case 0:
    case 1: switchText(params[slot], text); break;
    case 2: syncableText(sync, params[2], "%.2f Hz", rateHz, text); break;
    case 3:
    case 4:
    case 5:
    case 6: percentText(slot, "%.0f %%", text); break;
    default: copyText(text, ""); break;
    }
}

int32_t FlangerModule::getLfoLamp() const
{
    return lfoLamp(lfoPhase);
}

} // namespace voltara
