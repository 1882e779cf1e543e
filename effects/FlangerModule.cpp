#include "effects/FlangerModule.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace voltara {

namespace {

constexpr int32_t blockFrames = 256;     // frames per re-plan
constexpr float planScale = 0.00390625f; // 1 / frames per re-plan
constexpr float outputGain = 0.7f;
constexpr float lineSeconds = 0.013f;
constexpr float maxFeedback = 0.81f; // cross-channel, at Fbk 1.0; subtracted
constexpr float centreSpan = 0.012f; // seconds of centre delay from "*Min" 0 to 1, centred on 0.5
constexpr float depthSpan = 0.006f;  // seconds of sweep at "*Depth" 1.0

// The phase runs over -1 .. +1, a triangle in its magnitude.
const SyncedLfo::Travel lfoTravel = {2.0, blockFrames, 0.0, -1.0, 0.0};

constexpr FxModule::SlotText percent = percentSlot("%.0f %%");

const FxModule::Description description = {
    "Flanger",
    {"FLANGE", "Sync", "Rate", "Fbk", "*Mix", "*Depth", "*Min", ""},
    {0.0f, 0.0f, 0.5f, 0.5f, 1.0f, 0.25f, 0.5f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%.2f Hz"), percent, percent, percent, percent, {}},
};

} // namespace

FlangerModule::FlangerModule() : FxModule(description), lfo_(lfoTravel) {}

FlangerModule::~FlangerModule()
{
    delete[] buffer_;
}

void FlangerModule::setSampleRate(float rate)
{
    storeSampleRate(rate);
    // A rate too low for one frame of line, too high or not a number gets no
    // line at all rather than one that indexes outside its storage.
    const float lineFrames = lineSeconds * rate;
    const int32_t length = (lineFrames >= 1.0f && lineFrames <= static_cast<float>(maxLineFrames))
                               ? 2 * static_cast<int32_t>(lineFrames)
                               : 0;
    if (length != bufferLength_) {
        delete[] buffer_;
        buffer_ = length > 0 ? new (std::nothrow) float[length + 2] : nullptr;
        bufferLength_ = buffer_ ? length : 0; // a failed allocation is retried next time
    }
    reset();
}

void FlangerModule::reset()
{
    writeIndex_ = 1;
    readIndex_ = 1;
    blockCounter_ = 1;
    delayedLeft_ = 0.0f;
    delayedRight_ = 0.0f;
    readFraction_ = 0.0f;
    readStep_ = 0.0f;
    lfoPhase_ = 0.0f;
    if (buffer_)
        std::fill(buffer_, buffer_ + bufferLength_ + 2, 0.0f);
    reapplyParameters();
}

void FlangerModule::setTempo(double beatsPerSample, double)
{
    lfo_.setTempo(beatsPerSample);
}

void FlangerModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch: lfo_.setSync(switchIsOn(value)); break;
    case rateKnob: lfo_.setRate(value, freeLfoRate(value), invSampleRate_); break;
    case feedbackKnob: feedback_ = -maxFeedback * value; break;
    case mixKnob: mix_ = value; break;
    case depthKnob: depthDelay_ = value * sampleRate_ * depthSpan; break;
    case minKnob: centerDelay_ = (value - 0.5f) * sampleRate_ * centreSpan; break;
    default: break;
    }
}

void FlangerModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!buffer_ || !on_)
        return;
    const SyncedLfo::Motion motion = lfo_.motion(lfoPhase_, songPosBeats);
    float phase = motion.phase;
    const float increment = motion.increment;
    const float center = centerDelay_;
    const float depth = depthDelay_;
    const float fb = feedback_;
    const float wet = mix_;
    float* const b = buffer_;
    const int32_t length = bufferLength_;
    int32_t counter = blockCounter_;
    int32_t w = writeIndex_;
    int32_t r = readIndex_;
    float dL = delayedLeft_;
    float dR = delayedRight_;
    float fraction = readFraction_;
    float step = readStep_;

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

    blockCounter_ = counter;
    writeIndex_ = w;
    readIndex_ = r;
    delayedLeft_ = dL;
    delayedRight_ = dR;
    readFraction_ = fraction;
    readStep_ = step;
    lfoPhase_ = phase;
}

} // namespace voltara
