#include "effects/TremoloModule.h"

#include "effects/OnePole.h"

#include <cmath>
#include <xmmintrin.h>

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
    // Four frames with one target glide from g by the shares
    // 1 - (1 - coef)^m = coef (1 + k + .. + k^(m-1)), k = 1 - coef, so that a
    // frame waits on a quarter of the one-pole's chain. The shares only grow,
    // so a rising or falling gain keeps doing so.
    const float k = 1.0f - coef;
    const float sum2 = 1.0f + k;
    const float sum3 = sum2 + k * k;
    const float sum4 = sum3 + k * k * k;
    const __m128 shares = _mm_setr_ps(coef, coef * sum2, coef * sum3, coef * sum4);
    float g = gain_;
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        float target[4];
        for (float& t : target) {
            p += increment;
            if (p > 1.0f)
                p -= 1.0f;
            t = p <= fullShare ? 1.0f : low;
        }
        float* const frame = frames + 2 * i;
        if (target[0] == target[1] && target[0] == target[2] && target[0] == target[3]) {
            const __m128 gains = _mm_add_ps(_mm_set1_ps(g), _mm_mul_ps(_mm_set1_ps(target[0] - g), shares));
            _mm_storeu_ps(frame, _mm_mul_ps(_mm_loadu_ps(frame), _mm_unpacklo_ps(gains, gains)));
            _mm_storeu_ps(frame + 4, _mm_mul_ps(_mm_loadu_ps(frame + 4), _mm_unpackhi_ps(gains, gains)));
            g = _mm_cvtss_f32(_mm_shuffle_ps(gains, gains, _MM_SHUFFLE(3, 3, 3, 3)));
        } else {
            for (int32_t m = 0; m < 4; ++m) {
                g += (target[m] - g) * coef;
                frame[2 * m] *= g;
                frame[2 * m + 1] *= g;
            }
        }
    }
    for (; i < count; ++i) {
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
