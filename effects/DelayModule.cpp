#include "effects/DelayModule.h"

#include "effects/FlutterNoise.h"
#include "effects/OnePole.h"
#include "effects/TempoSync.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace voltara {

namespace {

constexpr int32_t modeCount = 4;
constexpr int32_t chunkFrames = 256;     // frames per pass of the block's loops
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
    // The heads, the outputs and the limiter of one frame.
    float buffers[2][2][chunkFrames];
    const auto readHeads = [&](float* io, const int32_t* at, float* feedback, float* input, int32_t j) {
        const float xL = io[2 * j];
        const float xR = io[2 * j + 1];

        const float a3 = line[at[3] - j];
        const float a2 = line[at[2] - j];
        const float m = (a3 + (a2 - a3) * b) * a;
        const float echoL = m + line[at[1] - j];
        const float echoR = (a2 + a3) * a - m + line[at[0] - j];
        io[2 * j] = xL + wet * echoL;
        io[2 * j + 1] = xR + wet * echoR;

        const float level = std::fabs(echoR);
        const float v = level > limiter ? level : 1.0f;
        limiter += (v - limiter) * limitCoef;
        feedback[j] = echoR * fb / limiter;
        input[j] = xL + xR;
    };
    // The feedback filters, the flutter line and the tape of one frame.
    const auto writeTape = [&](float* writer, const float* feedback, const float* input, int32_t j) {
        const float back = feedback[j];
        const float d = input[j] + back - lowCut;
        lowCut += d * lowCoef;
        const float u = d + back;
        highCut += (u - highCut) * highCoef;

        flutter[fWrite] = highCut;
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

    // A run's heads go alongside the run before it (its tape), so that the
    // limiter's recursion overlaps the filters'. A head is never nearer than a
    // run is long, so the tape a head reads was written an iteration before,
    // or in the same one, before it.
    int32_t run = runLength(count);
    float* feedback = buffers[0][0];
    float* input = buffers[0][1];
    float* nextFeedback = buffers[1][0];
    float* nextInput = buffers[1][1];
    for (int32_t j = 0; j < run; ++j)
        readHeads(frames, p, feedback, input, j);
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
        for (; j < together; ++j) {
            writeTape(writer, feedback, input, j);
            readHeads(nextIo, p, nextFeedback, nextInput, j);
        }
        for (; j < run; ++j)
            writeTape(writer, feedback, input, j);
        for (; j < nextRun; ++j)
            readHeads(nextIo, p, nextFeedback, nextInput, j);
        std::swap(feedback, nextFeedback);
        std::swap(input, nextInput);
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
