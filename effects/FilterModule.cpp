#include "effects/FilterModule.h"

#include "effects/OnePole.h"
#include "effects/StereoLanes.h"
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

void FilterModule::process(float* frames, int32_t count, double)
{
    if (!on_)
        return;
    const float limit = bandLimit_;
    const float q = damping_;
    // At low sample rates the upper limits would make the sections unstable.
    const float stable = stableFrequencyCoef(q);
    const bool up = modeUp_;
    const float high = std::min(maxCoef_.load(), stable);
    const float low = std::min(minCoef_.load(), stable);
    // The detector and F run the same in both lanes.
    const StereoLanes thresh = StereoLanes::both(threshold_);
    const StereoLanes glide = StereoLanes::both(glideCoef_);
    const StereoLanes release = StereoLanes::both(releaseCoef_);
    const StereoLanes floor = StereoLanes::both(detectorFloor);
    const StereoLanes triggered = StereoLanes::both(up ? high : low);
    const StereoLanes idle = StereoLanes::both(up ? low : high);
    const StereoLanes damping = StereoLanes::both(q);
    const StereoLanes clip = StereoLanes::both(1.0f / (3.0f * (limit * limit)));
    const StereoLanes bandLimit = StereoLanes::both(limit);
    const StereoLanes one = StereoLanes::both(1.0f);
    const StereoLanes eight = StereoLanes::both(8.0f);
    StereoLanes env = StereoLanes::both(envelope_);
    StereoLanes f = StereoLanes::both(std::min(freqCoef_, stable));
    const Channel& l = channels_[0];
    const Channel& r = channels_[1];
    StereoLanes low1 = StereoLanes::of(l.low1, r.low1);
    StereoLanes band1 = StereoLanes::of(l.band1, r.band1);
    StereoLanes low2 = StereoLanes::of(l.low2, r.low2);
    StereoLanes band2 = StereoLanes::of(l.band2, r.band2);

    for (int32_t i = 0; i < count; ++i) {
        float* const frame = frames + 2 * i;
        const StereoLanes x = StereoLanes::load(frame);

        // The left sample goes with F of the frame before, the right one with
        // F after this frame's glide.
        const StereoLanes e = (magnitude(x) + swapped(magnitude(x))) + floor;
        env = select(greater(e, thresh), e, env + (floor - env) * release);
        const StereoLanes target = select(greater(env, thresh), triggered, idle);
        const StereoLanes next = f + (target - f) * glide;
        const StereoLanes freq = interleavedLow(f, next);
        f = next;

        // A section's update, band - F (input + q band + low + F band), is
        // taken as k band - F (input + low) with k = 1 - Fq - F^2, so that a
        // frame waits on two operations, the limit and the soft clip.
        const StereoLanes keep = (one - freq * damping) - freq * freq;
        const StereoLanes drive1 = freq * (eight * x + low1);
        low1 = low1 + freq * band1;
        const StereoLanes clamped1 = limited(keep * band1 - drive1, bandLimit);
        band1 = clamped1 - (clip * clamped1) * (clamped1 * clamped1);

        const StereoLanes drive2 = freq * (damping * band1 + low2);
        low2 = low2 + freq * band2;
        band2 = keep * band2 - drive2;
        band2.store(frame);
    }

    freqCoef_ = f.left();
    envelope_ = env.left();
    channels_[0] = {low1.left(), band1.left(), low2.left(), band2.left()};
    channels_[1] = {low1.right(), band1.right(), low2.right(), band2.right()};
    if (count > 0)
        lamp_ = env.left() > thresh.left() ? 7 : 3;
}

int32_t FilterModule::getLfoLamp() const
{
    return lamp_;
}

} // namespace voltara
