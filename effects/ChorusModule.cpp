#include "effects/ChorusModule.h"

#include "effects/Lfo.h"

#include <algorithm>
#include <cmath>

namespace voltara {

namespace {

constexpr float pi = 3.14159265f;
constexpr float lineSeconds = 0.05f;
constexpr float mixGlide = 0.003f;  // share of the remaining mix per control block
constexpr float inputGain = 0.708f; // of the channel sum written to the line

constexpr FxModule::SlotText percent = percentSlot("%.0f %%");

const FxModule::Description description = {
    "Chorus",
    {"CHORUS", "Mode", "Rate", "Depth", "*Fbk", "", "", ""},
    {0.0f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f},
    {onOffSlot, switchSlot("CHO", "DET"), percent, percent, percent, {}, {}, {}},
};

} // namespace

ChorusModule::ChorusModule() : FxModule(description) {}

void ChorusModule::setSampleRate(float rate)
{
    storeSampleRate(rate);
    bufferLength_ = SampleLine::lengthOf(lineSeconds * rate);
    buffer_.resize(bufferLength_ > 0 ? bufferLength_ + 2 : 0);
    reset();
}

void ChorusModule::reset()
{
    blockCounter_ = 1;
    mix_ = 0.0f;
    lfoPhase_ = 0.0f;
    fraction1_ = 0.0f;
    fraction2_ = 0.0f;
    buffer_.clear();
    reapplyParameters();
    writeIndex_ = 0;
    tapIndex1_ = 0;
    tapIndex2_ = 0;
    depth_ = depthTarget_;
    baseDelay_ = baseDelayTarget_;
}

void ChorusModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    if (slot == modeSwitch)
        detune_ = switchIsOn(value);
    updateTargets();
}

void ChorusModule::updateTargets()
{
    const float rateValue = params_[rateKnob];
    const float depthValue = params_[depthKnob];
    const float rate = sampleRate_;
    if (detune_) {
        constexpr float seconds = 0.024f; // base delay and depth
        baseDelayTarget_ = seconds * rate + 1.0f;
        feedback_ = 0.0f;
        const float lfoRate = 0.75f * rateValue;
        lfoIncrement_ = lfoRate * invSampleRate_ * static_cast<float>(blockFrames);
        depthTarget_ = seconds * rate;
        mixTarget_ = 0.75f * depthValue + 0.00001f;
    } else {
        constexpr float baseSeconds = 0.008f;
        constexpr float maxDepthSeconds = 0.04f; // shrinks above 1 unit of rate
        baseDelayTarget_ = baseSeconds * rate + 1.0f;
        const float lfoRate = freeLfoRate(rateValue);
        lfoIncrement_ = lfoRate * invSampleRate_ * static_cast<float>(blockFrames);
        const float seconds = std::min(maxDepthSeconds / lfoRate, maxDepthSeconds);
        depthTarget_ = seconds * rate * depthValue;
        mixTarget_ = 0.5f;
        feedback_ = -0.47f * params_[feedbackKnob];
    }
}

void ChorusModule::process(float* frames, int32_t count, double)
{
    float* const line = buffer_.data();
    if (line == nullptr || !on_)
        return;
    const float newDepth = depthTarget_;
    const float newBase = baseDelayTarget_;
    if (depth_ != newDepth || baseDelay_ != newBase) {
        mix_ = 0.0f;
        depth_ = newDepth;
        baseDelay_ = newBase;
    }

    const int32_t length = bufferLength_;
    const float longest = static_cast<float>(length - 1); // a tap must stay on the line
    const bool triangle = detune_ != 0;
    const float increment = lfoIncrement_;
    const float wetTarget = mixTarget_;
    const float fb = feedback_;
    const float modDepth = depth_;
    const float base = baseDelay_;
    int32_t counter = blockCounter_;
    int32_t write = writeIndex_;
    int32_t tap1 = tapIndex1_;
    int32_t tap2 = tapIndex2_;
    float frac1 = fraction1_;
    float frac2 = fraction2_;
    float wet = mix_;
    float phase = lfoPhase_;

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
        tap1 = olderIndex(tap1, length);
        const float d2 = line[tap2] + (line[tap2 + 1] - line[tap2]) * frac2;
        frames[2 * i + 1] = xR + (d2 - xR) * wet;
        tap2 = olderIndex(tap2, length);
        line[write] = inputGain * (xL + xR) + fb * (d1 + d2);
        if (--write < 0) {
            write = length - 1;
            line[length] = line[0]; // guard for the read at tap + 1
        }
    }

    blockCounter_ = counter;
    writeIndex_ = write;
    tapIndex1_ = tap1;
    tapIndex2_ = tap2;
    fraction1_ = frac1;
    fraction2_ = frac2;
    mix_ = wet;
    lfoPhase_ = phase;
}

int32_t ChorusModule::getLfoLamp() const
{
    return detune_ ? 7 : lfoLamp(lfoPhase_ - 1.0f);
}

} // namespace voltara
