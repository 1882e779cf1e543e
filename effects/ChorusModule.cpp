#include "effects/ChorusModule.h"

#include <algorithm>
#include <cmath>

namespace voltara {

namespace {

constexpr float pi = 3.14159265f;
constexpr float lineSeconds = 0.05f;
constexpr float mixGlide = 0.003f;  // share of the remaining mix per control block
constexpr float inputGain = 0.708f; // of the channel sum written to the line

const char* const names[] = {"CHORUS", "Mode", "Rate", "Depth", "*Fbk", "", "", ""};

} // namespace

ChorusModule::ChorusModule() : FxModule({0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f}) {}

void ChorusModule::setSampleRate(float rate)
{
    sampleRate = rate;
    invSampleRate = 1.0f / rate;
    blockCounter = 1;
    mix = 0.0f;
    lfoPhase = 0.0f;
    fraction1 = 0.0f;
    fraction2 = 0.0f;
    bufferLength = SampleLine::lengthOf(lineSeconds * rate);
    buffer.reset(bufferLength > 0 ? bufferLength + 2 : 0);
    for (int32_t slot = 0; slot < slotCount; ++slot)
        setParameter(slot, params[slot]);
    writeIndex = 0;
    tapIndex1 = 0;
    tapIndex2 = 0;
    depth = depthTarget;
    baseDelay = baseDelayTarget;
}

void ChorusModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    if (slot == 0)
        on = switchIsOn(value);
    else if (slot == 1)
        detune = switchIsOn(value);
    updateTargets();
}

void ChorusModule::updateTargets()
{
    const float rateKnob = params[2];
    const float depthKnob = params[3];
    const float rate = sampleRate;
    if (detune) {
        constexpr float seconds = 0.024f; // base delay and depth
        baseDelayTarget = seconds * rate + 1.0f;
        feedback = 0.0f;
        const float lfoRate = 0.75f * rateKnob;
        lfoIncrement = lfoRate * invSampleRate * static_cast<float>(blockFrames);
        depthTarget = seconds * rate;
        mixTarget = 0.75f * depthKnob + 0.00001f;
    } else {
        constexpr float baseSeconds = 0.008f;
        constexpr float maxDepthSeconds = 0.04f; // shrinks above 1 unit of rate
        baseDelayTarget = baseSeconds * rate + 1.0f;
        // 0.05 x 200^v: 0.05 .. 10
        const float lfoRate = std::exp(5.2983174f * rateKnob - 2.9957323f);
        lfoIncrement = lfoRate * invSampleRate * static_cast<float>(blockFrames);
        const float seconds = std::min(maxDepthSeconds / lfoRate, maxDepthSeconds);
        depthTarget = seconds * rate * depthKnob;
        mixTarget = 0.5f;
        feedback = -0.47f * params[4];
    }
}

void ChorusModule::process(float* frames, int32_t count, double)
{
    float* const line = buffer.data();
    if (line == nullptr || !on)
        return;
    const float newDepth = depthTarget;
    const float newBase = baseDelayTarget;
    if (depth != newDepth || baseDelay != newBase) {
        mix = 0.0f;
        depth = newDepth;
        baseDelay = newBase;
    }

    const int32_t length = bufferLength;
    const float longest = static_cast<float>(length - 1); // a tap must stay on the line
    const bool triangle = detune != 0;
    const float increment = lfoIncrement;
    const float wetTarget = mixTarget;
    const float fb = feedback;
    const float modDepth = depth;
    const float base = baseDelay;
    int32_t counter = blockCounter;
    int32_t write = writeIndex;
    int32_t tap1 = tapIndex1;
    int32_t tap2 = tapIndex2;
    float frac1 = fraction1;
    float frac2 = fraction2;
    float wet = mix;
    float phase = lfoPhase;

    const auto placeTap = [&](float delay, int32_t& tap, float& fraction) {
        if (!(delay >= 0.0f))
            delay = 0.0f;
        else if (delay > longest)
            delay = longest;
        const int32_t whole = static_cast<int32_t>(delay);
        tap = whole + write;
        if (tap > length - 1)
            tap -= length;
        fraction = delay - static_cast<float>(whole);
    };

    for (int32_t i = 0; i < count; ++i) {
        const float xL = frames[2 * i];
        const float xR = frames[2 * i + 1];
        if (--counter == 0) {
            counter = blockFrames;
            wet += (wetTarget - wet) * mixGlide;
            phase += increment;
            if (phase > 2.0f)
                phase -= 2.0f;
            const float y = triangle ? (phase <= 1.0f ? phase : 2.0f - phase) : (std::sin(pi * phase) + 1.0f) * 0.5f;
            const float m = y * modDepth;
            placeTap(m + base, tap1, frac1);
            placeTap(modDepth + base - m, tap2, frac2);
        }
        const float d1 = line[tap1] + (line[tap1 + 1] - line[tap1]) * frac1;
        frames[2 * i] = xL + (d1 - xL) * wet;
        if (--tap1 < 0)
            tap1 = length - 1;
        const float d2 = line[tap2] + (line[tap2 + 1] - line[tap2]) * frac2;
        frames[2 * i + 1] = xR + (d2 - xR) * wet;
        if (--tap2 < 0)
            tap2 = length - 1;
        line[write] = inputGain * (xL + xR) + fb * (d1 + d2);
        if (--write < 0) {
            write = length - 1;
            line[length] = line[0]; // guard for the read at tap + 1
        }
    }

    blockCounter = counter;
    writeIndex = write;
    tapIndex1 = tap1;
    tapIndex2 = tap2;
    fraction1 = frac1;
    fraction2 = frac2;
    mix = wet;
    lfoPhase = phase;
}

void ChorusModule::getParameterName(int32_t slot, char* text) const
{
    nameText(slot, "Chorus", names, text);
}

void ChorusModule::getParameterText(int32_t slot, char* text) const
{
    switch (slot) {
    case 0: switchText(params[0], text); break;
    case 1: copyText(text, switchIsOn(params[1]) ? "DET" : "CHO"); break;
    case 2:
    case 3:
    case 4: percentText(slot, "%.0f %%", text); break;
    default: copyText(text, ""); break;
    }
}

int32_t ChorusModule::getLfoLamp() const
{
    if (detune)
        return 7;
    float level = 6.9f * std::fabs(lfoPhase - 1.0f);
    if (!(level <= 6.9f)) // a phase thrown off by a nonsense rate
        level = 6.9f;
    return 1 + static_cast<int32_t>(level);
}

} // namespace voltara
