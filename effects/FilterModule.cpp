#include "effects/FilterModule.h"

#include "effects/OnePole.h"
#include "effects/SvfStability.h"

#include <algorithm>
#include <cmath>

namespace voltara {

namespace {

constexpr float detectorFloor = 0.001f; // detector value of silence
// The frequency glides at most this much of the way per frame: what "*Speed"
// at 1.0 gives at 44.1 kHz (0.06536). Faster, as only lower rates would make
// it, a frequency that the detector throws between far-apart limits pumps the
// sections up until they grow without end (at about 11 kHz and below).
constexpr float fastestGlide = 0.0654f;

constexpr FxModule::SlotText percent = percentSlot("%4.0f %%");

const FxModule::Description description = {
    "Filter",
    {"FILTER", "Thresh", "Reso", "Mode", "*Min F", "*Max F", "*Speed", "*Hold"},
    {0.0f, 0.5f, 0.25f, 1.0f, 0.1f, 1.0f, 0.5f, 0.75f},
    {onOffSlot, percent, percent, switchSlot("DOWN", "UP"), percent, percent, percent, percent},
};

} // namespace

FilterModule::FilterModule() : FxModule(description) {}

void FilterModule::setSampleRate(float rate)
{
    freqCoef_ = 0.1f;
    envelope_ = 0.1f;
    for (Channel& channel : channels_)
        channel = Channel();
    bandLimit_ = 0.63f;
    lamp_ = 0;
    storeSampleRate(rate);
    reapplyParameters();
}

void FilterModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case thresholdKnob: threshold_ = value * value * value; break;
    case resonanceKnob: damping_ = 0.51f - 0.5f * value; break;
    case modeSwitch: modeUp_ = switchIsOn(value); break;
    case minKnob: minCoef_ = (15000.0f * value + 100.0f) * invSampleRate_; break;
    case maxKnob: maxCoef_ = (15000.0f * value + 100.0f) * invSampleRate_; break;
    case speedKnob: glideCoef_ = std::min(exponentialRateCoef(value, invSampleRate_), fastestGlide); break;
    case holdKnob: releaseCoef_ = exponentialRateCoef(value, invSampleRate_); break;
    default: break;
    }
}

inline float FilterModule::filterChannel(Channel& s, float x, const SectionCoefs& c)
{
    s.low1 += c.f * s.band1;
    float band = s.band1 - c.f * (8.0f * x + c.q * s.band1 + s.low1);
    band = std::min(std::max(band, -c.limit), c.limit);
    band -= band * band * band * c.softClip;
    s.band1 = band;
    s.low2 += c.f * s.band2;
    s.band2 -= c.f * (c.q * (s.band1 + s.band2) + s.low2);
    return s.band2;
}

void FilterModule::process(float* frames, int32_t count, double)
{
    if (!on_)
        return;
    const float limit = bandLimit_;
    const float q = damping_;
    // At low sample rates the upper limits would make the sections unstable.
    const float stable = stableFrequencyCoef(q);
    SectionCoefs coefs{std::min(freqCoef_, stable), q, limit, 1.0f / (3.0f * (limit * limit))};
    const bool up = modeUp_;
    const float high = std::min(maxCoef_.load(), stable);
    const float low = std::min(minCoef_.load(), stable);
    const float triggeredTarget = up ? high : low;
    const float idleTarget = up ? low : high;
    const float thresh = threshold_;
    const float glide = glideCoef_;
    const float release = releaseCoef_;
    float env = envelope_;
    int32_t lampLevel = lamp_;
    Channel left = channels_[0];
    Channel right = channels_[1];

    for (int32_t i = 0; i < count; ++i) {
        const float xL = frames[2 * i];
        const float xR = frames[2 * i + 1];
        frames[2 * i] = filterChannel(left, xL, coefs);

        const float e = std::fabs(xL) + std::fabs(xR) + detectorFloor;
        if (e > thresh)
            env = e;
        else
            env += (detectorFloor - env) * release;
        float target;
        if (env > thresh) {
            lampLevel = 7;
            target = triggeredTarget;
        } else {
            lampLevel = 3;
            target = idleTarget;
        }
        coefs.f += (target - coefs.f) * glide;

        frames[2 * i + 1] = filterChannel(right, xR, coefs);
    }

    freqCoef_ = coefs.f;
    envelope_ = env;
    channels_[0] = left;
    channels_[1] = right;
    lamp_ = lampLevel;
}

int32_t FilterModule::getLfoLamp() const
{
    return lamp_;
}

} // namespace voltara
