#include "effects/DelayModule.h"

#include "effects/FlutterNoise.h"
#include "effects/LaneOrder.h"
#include "effects/OnePole.h"
#include "effects/TempoSync.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <emmintrin.h>

namespace voltara {

namespace {

constexpr int32_t modeCount = 4;
constexpr int32_t chunkFrames = 64;      // frames per pass of the block's loops
constexpr int32_t randomCentre = 16384;  // middle of the 0 .. 32767 draws
constexpr float planShare = 0.00390625f; // 1 / 256: the glide spans one plan

constexpr FxModule::SlotText percent = percentSlot("%3.0f %%");

const FxModule::Description description = {
    "Delay",
    {"DELAY", "Sync", "Time", "Mode", "Fbk", "Char", "Mix", "*Max Flut"},
    {0.0f, 0.0f, 0.5f, 0.4f, 0.5f, 0.5f, 0.5f, 0.0f},
    {onOffSlot, onOffSlot, syncableSlot("%.0f ms"), {}, percent, percent, percent, percent},
};
const char* const modeNames[modeCount] = {"Mono", "M.Head", "P.Pong", "M.Tap"};

} // namespace

DelayModule::DelayModule() : FxModule(description) {}

void DelayModule::setSampleRate(float rate)
{
    storeSampleRate(rate);
    flutterLine_.resize(flutterLength + 2);
    const int32_t length = 3 * SampleLine::lengthOf(rate); // three seconds
    tapeLength_ = length;
    tape_.resize(length);
    reset();
}

void DelayModule::reset()
{
    writeIndex_ = 0;
    lowCutState_ = 0.0f;
    highCutState_ = 0.0f;
    flutterRead_ = 0;
    flutterWrite_ = 0;
    flutterFraction_ = 0.0f;
    flutterLine_.clear();
    tape_.clear();
    reapplyParameters();
}

void DelayModule::setTempo(double beatsPerSample, double)
{
    samplesPerBeat_ = static_cast<float>(1.0 / beatsPerSample);
    if (sync_) {
        delayTime_ = samplesPerBeat_ * noteBeats_;
        layoutHeads();
    }
}

void DelayModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case syncSwitch:
    case timeKnob: updateTime(); break;
    case modeKnob: {
        const float scaled = 3.9f * value;
        mode_ = scaled >= static_cast<float>(modeCount - 1) ? modeCount - 1
                : scaled > 0.0f                             ? static_cast<int32_t>(scaled)
                                                            : 0;
        layoutHeads();
        break;
    }
    case feedbackKnob:
    case characterKnob:
    case flutterKnob: updateCharacter(); break;
    case mixKnob: wetGain_ = 0.2f * value; break;
    default: break;
    }
}

void DelayModule::updateTime()
{
    const int32_t isSynced = switchIsOn(params_[syncSwitch]);
    sync_ = isSynced;
    const float beats = static_cast<float>(TempoSync::lengthInBeatsAt(params_[timeKnob]));
    noteBeats_ = beats;
    if (isSynced) {
        delayTime_ = beats * samplesPerBeat_;
    } else {
        delayTime_ = freeTime(params_[timeKnob]) * sampleRate_;
    }
    layoutHeads();
}

void DelayModule::updateCharacter()
{
    const float character = params_[characterKnob];
    const float flutter = params_[flutterKnob];
    const float inv = invSampleRate_;
    feedbackGain_ = (character * character + 1.0f) * params_[feedbackKnob];
    highCutCoef_ = onePoleCoef(57000.0f - 50000.0f * character, inv);
    lowCutCoef_ = onePoleCoef(5000.0f * character, inv);
    limiterCoef_ = onePoleCoef(std::exp(6.9f * character), inv);
    const float maxFlutter = 0.0025f * sampleRate_;
    flutterMax_ = maxFlutter;
    flutterAmount_ = flutter * flutter * character * maxFlutter * 0.00000305f;
}

void DelayModule::layoutHeads()
{
    const int32_t length = tapeLength_;
    float d = delayTime_;
    // A time the missing host tempo or a nonsense value made unusable reads
    // as 0 instead of never fitting the tape; without a tape (at a rate it
    // cannot be had for) there is nothing to lay out. On a tape every head
    // offset fits an int: below 1.5 x 3 x 2^26 frames.
    if (!(d >= 0.0f && d <= FLT_MAX) || length <= 0)
        d = 0.0f;
    while (length > 0 && d >= static_cast<float>(length))
        d *= 0.5f;
    const int32_t t = static_cast<int32_t>(d);
    switch (mode_) {
    case 0: // Mono
        heads_[0] = t;
        heads_[1] = t;
        heads_[2] = t;
        heads_[3] = t;
        mixA_ = 0.0f;
        mixB_ = 0.0f;
        headWeight_ = 0.5f;
        break;
    case 1: // M.Head
        heads_[0] = t;
        heads_[1] = t;
        heads_[2] = t / 2;
        heads_[3] = static_cast<int32_t>(1.25f * d);
        mixA_ = 0.9f;
        mixB_ = 0.5f;
        headWeight_ = 0.25f;
        break;
    case 2: // P.Pong: left head at t, right heads at 2t
        heads_[0] = 2 * t;
        heads_[1] = t;
        heads_[2] = 2 * t;
        heads_[3] = 2 * t;
        mixA_ = 0.0f;
        mixB_ = 0.0f;
        headWeight_ = 0.5f;
        break;
    default: // M.Tap
        heads_[0] = t;
        heads_[1] = static_cast<int32_t>(1.5f * d);
        heads_[2] = static_cast<int32_t>(1.333f * d);
        heads_[3] = static_cast<int32_t>(0.75f * d);
        mixA_ = 1.5f;
        mixB_ = 0.25f;
        headWeight_ = 0.2f;
        break;
    }
}

void DelayModule::process(float* frames, int32_t count, double)
{
    float* const line = tape_.data();
    float* const flutter = flutterLine_.data();
    if (!on_ || line == nullptr || flutter == nullptr)
        return;
    const int32_t length = tape_.length();

    const float wet = (params_[characterKnob] + 1.0f) * wetGain_;
    const float fb = headWeight_ * feedbackGain_;
    const float a = mixA_;
    const float b = mixB_;
    const float lowCoef = lowCutCoef_;
    const float highCoef = highCutCoef_;
    const float limitCoef = limiterCoef_;
    const float amount = flutterAmount_;
    // The flutter line holds 256 positions: beyond that (above 102.4 kHz)
    // a longer delay could not be read.
    const float maxFlutter = std::min(static_cast<float>(flutterMax_), static_cast<float>(flutterLength));

    // A run reads every head before it writes the tape: no longer than the
    // nearest head is behind the writer.
    int32_t nearestHead = chunkFrames;
    for (int32_t h = 0; h < headCount; ++h) {
        if (heads_[h] > 0)
            nearestHead = std::min(nearestHead, heads_[h].load());
    }
    int32_t p[headCount];
    for (int32_t h = 0; h < headCount; ++h)
        p[h] = indexOnLine(heads_[h] + writeIndex_, length);
    int32_t write = writeIndex_;
    float lowCut = lowCutState_;
    float highCut = highCutState_;
    float limiter = limiterLevel_;
    int32_t fWrite = flutterWrite_;
    int32_t fRead = flutterRead_;
    float fFraction = flutterFraction_;
    float fStep = flutterStep_;

    // The heads and the writer move down one place a frame: the block goes in
    // runs that end where the first of them wraps, each run a loop over plain
    // offsets.
    const auto runLength = [&](int32_t left) {
        return std::min({left, chunkFrames, nearestHead, p[0] + 1, p[1] + 1, p[2] + 1, p[3] + 1, write + 1});
    };

    // The limiter: a level above the envelope pulls it up, else it glides back
    // toward 1. Each case its own branch: loud frames come in short bursts, and
    // a select would put the comparison on the envelope's recursion.
    const auto limitedFeedback = [&](float echoR) {
        const float level = std::fabs(echoR);
        if (level > limiter)
            limiter += (level - limiter) * limitCoef;
        else
            limiter += (1.0f - limiter) * limitCoef;
        return echoR * fb / limiter;
    };
    // An envelope its glide leaves where it is (1, or within rounding of it)
    // stays while no frame is louder: then four frames divide by it at once.
    const auto isSteady = [&] { return limiter + (1.0f - limiter) * limitCoef == limiter; };
    bool steady = isSteady();

    // The heads, the outputs and the limiter of one frame; `toTape` is the
    // input and the feedback that go on through the filters.
    float buffers[2][2][chunkFrames];
    const auto readHeads = [&](float* io, const int32_t* at, float* feedback, float* toTape, int32_t j) {
        const float xL = io[2 * j];
        const float xR = io[2 * j + 1];

        const float a3 = line[at[3] - j];
        const float a2 = line[at[2] - j];
        const float m = (a3 + (a2 - a3) * b) * a;
        const float echoL = m + line[at[1] - j];
        const float echoR = (a2 + a3) * a - m + line[at[0] - j];
        io[2 * j] = xL + wet * echoL;
        io[2 * j + 1] = xR + wet * echoR;

        const float back = limitedFeedback(echoR);
        feedback[j] = back;
        toTape[j] = xL + xR + back;
        steady = isSteady();
    };
    // The same for four frames, the same operations lane by lane; the
    // limiter's recursion alone runs frame by frame, and only while the
    // envelope moves.
    const __m128 mixA = _mm_set1_ps(a);
    const __m128 mixB = _mm_set1_ps(b);
    const __m128 wetGain = _mm_set1_ps(wet);
    const __m128 feedbackGain = _mm_set1_ps(fb);
    const auto readHeadsFour = [&](float* io, const int32_t* at, float* feedback, float* toTape, int32_t j) {
        const __m128 first = _mm_loadu_ps(io + 2 * j);
        const __m128 second = _mm_loadu_ps(io + 2 * j + 4);
        const __m128 xL = _mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 xR = _mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1));

        // The frames' samples lie at descending addresses.
        const __m128 a3 = reversed(_mm_loadu_ps(line + at[3] - j - 3));
        const __m128 a2 = reversed(_mm_loadu_ps(line + at[2] - j - 3));
        const __m128 m = _mm_mul_ps(_mm_add_ps(a3, _mm_mul_ps(_mm_sub_ps(a2, a3), mixB)), mixA);
        const __m128 echoL = _mm_add_ps(m, reversed(_mm_loadu_ps(line + at[1] - j - 3)));
        const __m128 echoR = _mm_add_ps(_mm_sub_ps(_mm_mul_ps(_mm_add_ps(a2, a3), mixA), m),
                                        reversed(_mm_loadu_ps(line + at[0] - j - 3)));
        const __m128 outL = _mm_add_ps(xL, _mm_mul_ps(wetGain, echoL));
        const __m128 outR = _mm_add_ps(xR, _mm_mul_ps(wetGain, echoR));
        _mm_storeu_ps(io + 2 * j, _mm_unpacklo_ps(outL, outR));
        _mm_storeu_ps(io + 2 * j + 4, _mm_unpackhi_ps(outL, outR));

        const __m128 lifted = _mm_mul_ps(echoR, feedbackGain);
        const __m128 envelope = _mm_set1_ps(limiter);
        const __m128 level = _mm_andnot_ps(_mm_set1_ps(-0.0f), echoR);
        __m128 back;
        if (steady && _mm_movemask_ps(_mm_cmpgt_ps(level, envelope)) == 0) {
            back = _mm_div_ps(lifted, envelope);
        } else {
            alignas(16) float echoes[4];
            _mm_store_ps(echoes, echoR);
            for (float& echo : echoes)
                echo = limitedFeedback(echo);
            back = _mm_load_ps(echoes);
            steady = isSteady();
        }
        _mm_storeu_ps(feedback + j, back);
        _mm_storeu_ps(toTape + j, _mm_add_ps(_mm_add_ps(xL, xR), back));
    };
    const auto readHeadsRun = [&](float* io, const int32_t* at, float* feedback, float* toTape, int32_t from,
                                  int32_t to) {
        int32_t j = from;
        for (; j + 4 <= to; j += 4)
            readHeadsFour(io, at, feedback, toTape, j);
        for (; j < to; ++j)
            readHeads(io, at, feedback, toTape, j);
    };
    // The feedback filters of one frame, their output onto the flutter line.
    // Each one-pole steps as y k + x c (k = 1 - c): a multiplication and an
    // addition from one frame's state to the next, where y + (x - y) c takes
    // three.
    const float lowKeep = 1.0f - lowCoef;
    const float highKeep = 1.0f - highCoef;
    const auto filter = [&](const float* feedback, const float* toTape, int32_t j) {
        const float x = toTape[j];
        const float u = (x - lowCut) + feedback[j];
        lowCut = lowCut * lowKeep + x * lowCoef;
        highCut = highCut * highKeep + u * highCoef;
        flutter[fWrite] = highCut;
    };
    // The filters, the flutter line and the tape of one frame.
    const auto writeTape = [&](float* writer, const float* feedback, const float* toTape, int32_t j) {
        filter(feedback, toTape, j);
        if (--fWrite < 0) {
            fWrite = flutterLength - 1;
            flutter[flutterLength] = flutter[0]; // guard for the read at fRead + 1
            const float pos = static_cast<float>(fRead) + fFraction;
            const float r = static_cast<float>(FlutterNoise::next() - randomCentre);
            float target = pos + r * amount;
            if (target < 1.0f)
                target = 1.0f;
            if (target > maxFlutter)
                target = maxFlutter;
            fStep = (target - pos) * planShare - 1.0f;
        }
        fFraction += fStep;
        while (fFraction < 0.0f) {
            fFraction += 1.0f;
            fRead = (fRead - 1) & (flutterLength - 1);
        }
        writer[-j] = flutter[fRead] + (flutter[fRead + 1] - flutter[fRead]) * fFraction;
    };
    // A step that leaves the fraction where it is moves the read one place a
    // frame, as the writer moves (so it is whenever "*Max Flut" is 0).
    const auto isSteadyGlide = [&] {
        const float moved = fFraction + fStep;
        return moved < 0.0f && moved >= -1.0f && moved + 1.0f == fFraction;
    };
    bool steadyGlide = isSteadyGlide();
    // Four frames. While the glide is steady with the read one place ahead of
    // the writer (as "*Max Flut" at 0 leaves it) and neither wraps in them,
    // each frame reads what it and the frame before wrote: from registers.
    const auto writeTapeFour = [&](float* writer, const float* feedback, const float* toTape, int32_t j) {
        if (!steadyGlide || fRead != fWrite + 1 || fWrite < 4) {
            for (int32_t k = j; k < j + 4; ++k)
                writeTape(writer, feedback, toTape, k);
            steadyGlide = isSteadyGlide();
            return;
        }
        float before = flutter[fRead];
        for (int32_t k = j; k < j + 4; ++k) {
            filter(feedback, toTape, k);
            --fWrite;
            writer[-k] = highCut + (before - highCut) * fFraction;
            before = highCut;
        }
        fRead -= 4;
    };

    // A run's heads go alongside the run before it (its tape), four frames
    // of each at a time, so that the recursions of the limiter and the
    // filters overlap. A head is never nearer than a run is long, so the tape
    // four frames of heads read was written an iteration before, or in the
    // same one, before them.
    int32_t run = runLength(count);
    float* feedback = buffers[0][0];
    float* toTape = buffers[0][1];
    float* nextFeedback = buffers[1][0];
    float* nextToTape = buffers[1][1];
    readHeadsRun(frames, p, feedback, toTape, 0, run);
    for (int32_t done = 0; done < count;) {
        float* const writer = line + write;
        done += run;
        for (int32_t& index : p)
            index = olderIndex(index, length, run);
        write = olderIndex(write, length, run);
        const int32_t nextRun = runLength(count - done);
        float* const nextIo = frames + 2 * done;
        const int32_t together = std::min(run, nextRun);
        int32_t j = 0;
        for (; j + 4 <= together; j += 4) {
            writeTapeFour(writer, feedback, toTape, j);
            readHeadsFour(nextIo, p, nextFeedback, nextToTape, j);
        }
        int32_t k = j;
        for (; k + 4 <= run; k += 4)
            writeTapeFour(writer, feedback, toTape, k);
        for (; k < run; ++k)
            writeTape(writer, feedback, toTape, k);
        readHeadsRun(nextIo, p, nextFeedback, nextToTape, j, nextRun);
        std::swap(feedback, nextFeedback);
        std::swap(toTape, nextToTape);
        run = nextRun;
    }

    writeIndex_ = write;
    lowCutState_ = lowCut;
    highCutState_ = highCut;
    limiterLevel_ = limiter;
    flutterWrite_ = fWrite;
    flutterRead_ = fRead;
    flutterFraction_ = fFraction;
    flutterStep_ = fStep;
}

void DelayModule::getParameterText(int32_t slot, char* text) const
{
    if (slot == modeKnob)
        copyText(text, modeNames[mode_]);
    else
        syncableSlotText(slot, sync_, freeTime(params_[timeKnob]) * 1000.0f, text);
}

} // namespace voltara
