#include "effects/WahModule.h"

#include "effects/StereoLanes.h"
#include "effects/SvfStability.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace voltara {

namespace {

constexpr int32_t blockFrames = 32;    // frames per control step
constexpr float phaseTop = 201.06194f; // 64 pi: wrap point of the phase, radians
constexpr float fastestRate = 16.0f;   // Hz at Rate 1.0; the rate grows with the knob squared

// The phase is in radians; synchronised, each note starts 4.5 - pi radians
// into the cycle.
const SyncedLfo::Travel lfoTravel = {6.2831855, blockFrames, 0.0, -3.1415927, 4.5};
static_assert(static_cast<float>(6.2831855) * blockFrames == phaseTop, "a control step's phase at 1 Hz x rate");

constexpr FxModule::SlotText percent = percentSlot("%4.0f %%");

const FxModule::Description description = {
    "Wah",
    {"WAH", "Sync", "Rate", "Q", "Pedal", "*Max", "*Dirt", ""},
    {0.0f, 0.0f, 0.4f, 0.5f, 0.0f, 1.0f, 0.7f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%.2f Hz"), percent, percent, percent, percent, {}},
};

// Both channels' filter states as lanes.
struct FilterLanes {
    StereoLanes inputLow;
    StereoLanes low;
    StereoLanes band;
    StereoLanes clamped; // the band before its soft clip
};

// What the frames between two control steps share.
struct RunCoefs {
    StereoLanes inCoef;   // input low-pass
    StereoLanes freq;     // F
    StereoLanes keep;     // k = 1 - Fq - F^2
    StereoLanes keepClip; // k s
    StereoLanes clip;     // s = 1 / (3 limit^2)
    StereoLanes limit;
    StereoLanes limitSquared;
    StereoLanes freqSquared;     // F^2
    StereoLanes freqSquaredClip; // F^2 s
};

// Runs frames in place with one F and answers whether the limit acted. The
// band's update, band - F (2d + q band + low + F band), is taken as
// k band - F (2d + low): k band as k c - (k s c) c^2 from the limited band c
// of the frame before, F low as F times the low of the frame before that
// plus F^2 times that frame's band. A frame then waits on three operations
// (against eleven), and on two more where the band is limited: with
// `limitEveryFrame` false the limit is applied only to frames whose band
// went past it, a branch the processor predicts as long as that stays rare;
// while it is not rare, every frame is limited without a branch.
template <bool limitEveryFrame>
bool runFilter(FilterLanes& state, const RunCoefs& c, float* io, int32_t frames)
{
    const StereoLanes half = StereoLanes::both(0.5f);
    const __m128 signBit = _mm_set1_ps(-0.0f);
    __m128 largest = _mm_setzero_ps();
    bool limitActed = false;
    // Locals, which the stores to `io` cannot touch.
    FilterLanes s = state;
    StereoLanes square = s.clamped * s.clamped;
    // The low and the limited band two frames back; at the first frame F low
    // is taken as it stands (F may have changed since).
    StereoLanes lowBefore = s.low;
    StereoLanes clampedBefore = StereoLanes::both(0.0f);
    StereoLanes squareBefore = clampedBefore;
    for (int32_t j = 0; j < frames; ++j) {
        const StereoLanes d = StereoLanes::load(io + 2 * j) - s.inputLow;
        s.inputLow = s.inputLow + d * c.inCoef;
        const StereoLanes drive =
            c.freq * ((d + d) + lowBefore)
            + (c.freqSquared * clampedBefore - (c.freqSquaredClip * clampedBefore) * squareBefore);
        lowBefore = s.low;
        clampedBefore = s.clamped;
        squareBefore = square;
        s.low = s.low + c.freq * s.band;
        (half * s.inputLow + s.low).store(io + 2 * j);
        const StereoLanes next = (c.keep * s.clamped - drive) - (c.keepClip * s.clamped) * square;
        if (limitEveryFrame) {
            largest = _mm_max_ps(largest, _mm_andnot_ps(signBit, next.v));
            s.clamped = limited(next, c.limit);
            square = s.clamped * s.clamped;
        } else {
            s.clamped = next;
            square = next * next;
            // Not below the limit's square: past the limit, at it (where
            // limiting changes nothing) or not a number. Only the two low
            // lanes carry channels.
            if ((_mm_movemask_ps(_mm_cmpnlt_ps(square.v, c.limitSquared.v)) & 3) != 0) {
                limitActed = true;
                s.clamped = limited(next, c.limit);
                square = s.clamped * s.clamped;
            }
        }
        s.band = s.clamped - (c.clip * s.clamped) * square;
    }
    state = s;
    if (limitEveryFrame)
        limitActed = _mm_movemask_ps(_mm_cmple_ps(largest, c.limit.v)) != 0xF;
    return limitActed;
}

} // namespace

WahModule::WahModule() : FxModule(description), lfo_(lfoTravel) {}

void WahModule::setSampleRate(float rate)
{
    blockCounter_ = 1;
    lfoPhase_ = 0.0f;
    for (Channel& channel : channels_)
        channel = Channel();
    storeSampleRate(rate);
    inputCoef_ = 10000.0f / rate;
    minCoef_ = 1900.0f / rate;
    reapplyParameters();
}

void WahModule::setTempo(double beatsPerSample, double)
{
    lfo_.setTempo(beatsPerSample);
}

void WahModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch: lfo_.setSync(switchIsOn(value)); break;
    case rateKnob: lfo_.setRate(value, fastestRate * (value * value), invSampleRate_); break;
    case qKnob: damping_ = 0.52f - 0.5f * value; break;
    case pedalKnob:
        pedalAmount_ = value * value;
        pedalHold_ = pedalHoldBlocks;
        break;
    case maxKnob: maxCoef_ = (13000.0f * value + 1900.0f) * invSampleRate_; break;
    case dirtKnob: bandLimit_ = 2.0f - 1.95f * value; break;
    default: break;
    }
}

void WahModule::process(float* frames, int32_t count, double songPosBeats)
{
    if (!on_)
        return;
    const float limit = bandLimit_;
    const float softClip = 1.0f / (3.0f * (limit * limit));

    const SyncedLfo::Motion motion = lfo_.motion(lfoPhase_, songPosBeats);
    float phase = motion.phase;
    const float increment = motion.increment;
    const int32_t holdAtStart = pedalHold_;
    if (lfo_.freeIncrement() == 0.0f || holdAtStart > 0)
        phase = 0.0f;

    const float lowCoef = minCoef_;
    const float highCoef = maxCoef_;
    const float pedal = pedalAmount_;
    const float q = damping_;
    // At low sample rates the top of the sweep would make the filter unstable.
    const float stable = stableFrequencyCoef(q);
    int32_t hold = holdAtStart;
    int32_t counter = blockCounter_;
    int32_t lampLevel = lamp_;
    float pos = position_;
    float f = freqCoef_;

    const Channel& l = channels_[0];
    const Channel& r = channels_[1];
    FilterLanes state = {StereoLanes::of(l.inputLow, r.inputLow), StereoLanes::of(l.low, r.low),
                         StereoLanes::of(l.band, r.band), StereoLanes::of(l.clampedBand, r.clampedBand)};
    RunCoefs coefs;
    coefs.inCoef = StereoLanes::both(inputCoef_);
    coefs.clip = StereoLanes::both(softClip);
    coefs.limit = StereoLanes::both(limit);
    coefs.limitSquared = StereoLanes::both(limit * limit);
    // The limit rarely acts (never at the default Dirt at a guitar's level):
    // after a run in which it acted, the next limits every frame.
    bool limitActs = false;

    for (int32_t i = 0; i < count;) {
        if (--counter == 0) {
            counter = blockFrames;
            phase += increment;
            if (phase > phaseTop)
                phase -= phaseTop;
            if (hold > INT_MIN) // counts on below zero; stops short of overflow
                --hold;
            float u = 0.0f;
            if (hold <= 0) {
                float c = -std::cos(phase);
                if (c > 0.5f) {
                    c = 0.5f;
                    lampLevel = 7;
                } else if (c < -0.5f) {
                    c = -0.5f;
                    lampLevel = 4;
                }
                u = c + 0.5f;
            }
            const float target = u + (1.0f - u) * pedal;
            pos += (target - pos) * 0.01f;
            f = std::min(lowCoef + (highCoef - lowCoef) * pos, stable);
        }
        // The frames up to the next control step share F.
        const float k = 1.0f - f * q - f * f;
        coefs.freq = StereoLanes::both(f);
        coefs.keep = StereoLanes::both(k);
        coefs.keepClip = StereoLanes::both(k * softClip);
        coefs.freqSquared = StereoLanes::both(f * f);
        coefs.freqSquaredClip = StereoLanes::both(f * f * softClip);
        const int32_t run = std::min(counter, count - i);
        float* const io = frames + 2 * i;
        limitActs = limitActs ? runFilter<true>(state, coefs, io, run) : runFilter<false>(state, coefs, io, run);
        i += run;
        counter -= run - 1;
    }

    blockCounter_ = counter;
    lfoPhase_ = phase;
    position_ = pos;
    freqCoef_ = f;
    channels_[0] = {state.low.left(), state.band.left(), state.clamped.left(), state.inputLow.left()};
    channels_[1] = {state.low.right(), state.band.right(), state.clamped.right(), state.inputLow.right()};
    lamp_ = lampLevel;
    // A pedal change during the block wins over the count-down.
    int32_t expected = holdAtStart;
    pedalHold_.compareExchange(expected, hold);
}

int32_t WahModule::getLfoLamp() const
{
    return lamp_;
}

} // namespace voltara
