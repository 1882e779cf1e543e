#include "effects/ChorusModule.h"

#include "effects/LaneOrder.h"
#include "effects/Lfo.h"

#include <algorithm>
#include <cmath>

namespace voltara {

namespace {

constexpr float pi = 3.14159265f;
constexpr float lineSeconds = 0.05f;
constexpr float mixGlide = 0.003f;  // share of the remaining mix per control block
constexpr float inputGain = 0.708f; // of the channel sum written to the line

// Whether a tap reads nothing that the four frames from the writer on write:
// the tap and the sample after it at least four places older than the writer,
// or wrapped behind it.
inline bool apart(int32_t tap, int32_t write)
{
    return tap - write >= 4 || tap < write;
}

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

    for (int32_t i = 0; i < count;) {
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
        // The frames up to the next control step or the next wrap of an index.
        const int32_t run = std::min({counter, count - i, tap1 + 1, tap2 + 1, write + 1});
        float* const io = frames + 2 * i;
        const float* const read1 = line + tap1;
        const float* const read2 = line + tap2;
        float* const writer = line + write;
        int32_t j = 0;
        // Four frames at once where none of them reads what another writes.
        if (apart(tap1, write) && apart(tap2, write)) {
            const __m128 wetLanes = _mm_set1_ps(wet);
            const __m128 fraction1 = _mm_set1_ps(frac1);
            const __m128 fraction2 = _mm_set1_ps(frac2);
            const __m128 gain = _mm_set1_ps(inputGain);
            const __m128 feedback = _mm_set1_ps(fb);
            for (; j + 4 <= run; j += 4) {
                const __m128 first = _mm_loadu_ps(io + 2 * j);
                const __m128 second = _mm_loadu_ps(io + 2 * j + 4);
                const __m128 xL = _mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0));
                const __m128 xR = _mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1));
                // The line's lanes run from the frame j + 3 to the frame j.
                const __m128 near1 = reversed(_mm_loadu_ps(read1 - j - 3));
                const __m128 far1 = reversed(_mm_loadu_ps(read1 - j - 2));
                const __m128 d1 = _mm_add_ps(near1, _mm_mul_ps(_mm_sub_ps(far1, near1), fraction1));
                const __m128 near2 = reversed(_mm_loadu_ps(read2 - j - 3));
                const __m128 far2 = reversed(_mm_loadu_ps(read2 - j - 2));
                const __m128 d2 = _mm_add_ps(near2, _mm_mul_ps(_mm_sub_ps(far2, near2), fraction2));
                const __m128 outL = _mm_add_ps(xL, _mm_mul_ps(_mm_sub_ps(d1, xL), wetLanes));
                const __m128 outR = _mm_add_ps(xR, _mm_mul_ps(_mm_sub_ps(d2, xR), wetLanes));
                _mm_storeu_ps(io + 2 * j, _mm_unpacklo_ps(outL, outR));
                _mm_storeu_ps(io + 2 * j + 4, _mm_unpackhi_ps(outL, outR));
                const __m128 written =
                    _mm_add_ps(_mm_mul_ps(gain, _mm_add_ps(xL, xR)), _mm_mul_ps(feedback, _mm_add_ps(d1, d2)));
                _mm_storeu_ps(writer - j - 3, reversed(written));
            }
        }
        for (; j < run; ++j) {
            const float xL = io[2 * j];
            const float xR = io[2 * j + 1];
            const float d1 = read1[-j] + (read1[1 - j] - read1[-j]) * frac1;
            io[2 * j] = xL + (d1 - xL) * wet;
            const float d2 = read2[-j] + (read2[1 - j] - read2[-j]) * frac2;
            io[2 * j + 1] = xR + (d2 - xR) * wet;
            writer[-j] = inputGain * (xL + xR) + fb * (d1 + d2);
        }
        i += run;
        counter -= run - 1;
        tap1 = olderIndex(tap1, length, run);
        tap2 = olderIndex(tap2, length, run);
        write -= run;
        if (write < 0) {
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
