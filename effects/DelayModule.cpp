#include "effects/DelayModule.h"

#include "effects/FlutterNoise.h"
#include "effects/TempoSync.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace voltara {

namespace {

constexpr int32_t modeCount = 4;
constexpr int32_t randomCentre = 16384;  // middle of the 0 .. 32767 draws
constexpr float planShare = 0.00390625f; // 1 / 256: the glide spans one plan

const char* const names[] = {"DELAY", "Sync", "Time", "Mode", "Fbk", "Char", "Mix", "*Max Flut"};
const char* const modeNames[modeCount] = {"Mono", "M.Head", "P.Pong", "M.Tap"};

// One step toward older samples on a line that is written downward.
inline int32_t older(int32_t index, int32_t length)
{
    return index > 0 ? index - 1 : length - 1;
}

} // namespace

DelayModule::DelayModule() : FxModule({0.0f, 0.0f, 0.5f, 0.4f, 0.5f, 0.5f, 0.5f, 0.0f}) {}

void DelayModule::setSampleRate(float rate)
{
    sampleRate = rate;
    invSampleRate = 1.0f / rate;
    writeIndex = 0;
    lowCutState = 0.0f;
    highCutState = 0.0f;
    flutterRead = 0;
    flutterWrite = 0;
    flutterFraction = 0.0f;
    flutterLine.reset(flutterLength + 2);
    const int32_t length = 3 * SampleLine::lengthOf(rate); // three seconds
    tapeLength = length;
    tape.reset(length);
    for (int32_t slot = 0; slot < slotCount; ++slot)
        setParameter(slot, params[slot]);
}

void DelayModule::setTempo(double beatsPerSample, double)
{
    samplesPerBeat = static_cast<float>(1.0 / beatsPerSample);
    if (sync) {
        delayTime = samplesPerBeat * noteBeats;
        layoutHeads();
    }
}

void DelayModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    switch (slot) {
    case 0: on = switchIsOn(value); break;
    case 1:
    case 2: updateTime(); break;
    case 3: {
        const float scaled = 3.9f * value;
        mode = scaled >= static_cast<float>(modeCount - 1) ? modeCount - 1
               : scaled > 0.0f                             ? static_cast<int32_t>(scaled)
                                                           : 0;
        layoutHeads();
        break;
    }
    case 4:
    case 5:
    case 7: updateCharacter(); break;
    case 6: wetGain = 0.2f * value; break;
    default: break;
    }
}

void DelayModule::updateTime()
{
    const int32_t isSynced = switchIsOn(params[1]);
    sync = isSynced;
    const float beats = static_cast<float>(TempoSync::lengthInBeats[TempoSync::noteIndex(params[2])]);
    noteBeats = beats;
    if (isSynced) {
        delayTime = beats * samplesPerBeat;
    } else {
        const float t = params[2];
        delayTime = (2.45f * (t * t) + 0.05f) * sampleRate; // 0.05 .. 2.5 s
    }
    layoutHeads();
}

void DelayModule::updateCharacter()
{
    const float character = params[5];
    const float flutter = params[7];
    const float inv = invSampleRate;
    feedbackGain = (character * character + 1.0f) * params[4];
    highCutCoef = 1.0f - std::exp(-(57000.0f - 50000.0f * character) * inv);
    lowCutCoef = 1.0f - std::exp(-5000.0f * character * inv);
    limiterCoef = 1.0f - std::exp(-std::exp(6.9f * character) * inv);
    const float maxFlutter = 0.0025f * sampleRate;
    flutterMax = maxFlutter;
    flutterAmount = flutter * flutter * character * maxFlutter * 0.00000305f;
}

void DelayModule::layoutHeads()
{
    const int32_t length = tapeLength;
    float d = delayTime;
    // A time the missing host tempo or a nonsense value made unusable reads
    // as 0 instead of never fitting the tape.
    if (!(d >= 0.0f && d <= FLT_MAX))
        d = 0.0f;
    while (length > 0 && d >= static_cast<float>(length))
        d *= 0.5f;
    const int32_t t = static_cast<int32_t>(d);
    switch (mode) {
    case 0: // Mono
        heads[0] = t;
        heads[1] = t;
        heads[2] = t;
        heads[3] = t;
        mixA = 0.0f;
        mixB = 0.0f;
        headWeight = 0.5f;
        break;
    case 1: // M.Head
        heads[0] = t;
        heads[1] = t;
        heads[2] = t / 2;
        heads[3] = static_cast<int32_t>(1.25f * d);
        mixA = 0.9f;
        mixB = 0.5f;
        headWeight = 0.25f;
        break;
    case 2: // P.Pong: left head at t, right heads at 2t
        heads[0] = 2 * t;
        heads[1] = t;
        heads[2] = 2 * t;
        heads[3] = 2 * t;
        mixA = 0.0f;
        mixB = 0.0f;
        headWeight = 0.5f;
        break;
    default: // M.Tap
        heads[0] = t;
        heads[1] = static_cast<int32_t>(1.5f * d);
        heads[2] = static_cast<int32_t>(1.333f * d);
        heads[3] = static_cast<int32_t>(0.75f * d);
        mixA = 1.5f;
        mixB = 0.25f;
        headWeight = 0.2f;
        break;
    }
}

void DelayModule::process(float* frames, int32_t count, double)
{
    float* const line = tape.data();
    float* const flutter = flutterLine.data();
    if (!on || line == nullptr || flutter == nullptr)
        return;
    const int32_t length = tape.length();

    const float wet = (params[5] + 1.0f) * wetGain;
    const float fb = headWeight * feedbackGain;
    const float a = mixA;
    const float b = mixB;
    const float lowCoef = lowCutCoef;
    const float highCoef = highCutCoef;
    const float limitCoef = limiterCoef;
    const float amount = flutterAmount;
    // The flutter line holds 256 positions: beyond that (above 102.4 kHz)
    // a longer delay could not be read.
    const float maxFlutter = std::min(static_cast<float>(flutterMax), static_cast<float>(flutterLength));

    int32_t p[headCount];
    for (int32_t h = 0; h < headCount; ++h) {
        p[h] = heads[h] + writeIndex;
        while (p[h] > length - 1)
            p[h] -= length;
    }
    int32_t write = writeIndex;
    float lowCut = lowCutState;
    float highCut = highCutState;
    float limiter = limiterLevel;
    int32_t fWrite = flutterWrite;
    int32_t fRead = flutterRead;
    float fFraction = flutterFraction;
    float fStep = flutterStep;

    for (int32_t i = 0; i < count; ++i) {
        const float xL = frames[2 * i];
        const float xR = frames[2 * i + 1];

        const float a3 = line[p[3]];
        const float a2 = line[p[2]];
        p[3] = older(p[3], length);
        p[2] = older(p[2], length);
        const float m = (a3 + (a2 - a3) * b) * a;
        const float echoL = m + line[p[1]];
        p[1] = older(p[1], length);
        const float echoR = (a2 + a3) * a - m + line[p[0]];
        p[0] = older(p[0], length);
        frames[2 * i] = xL + wet * echoL;
        frames[2 * i + 1] = xR + wet * echoR;

        const float level = std::fabs(echoR);
        const float v = level > limiter ? level : 1.0f;
        limiter += (v - limiter) * limitCoef;
        const float back = echoR * fb / limiter;

        const float d = xL + xR + back - lowCut;
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
        line[write] = flutter[fRead] + (flutter[fRead + 1] - flutter[fRead]) * fFraction;
        write = older(write, length);
    }

    writeIndex = write;
    lowCutState = lowCut;
    highCutState = highCut;
    limiterLevel = limiter;
    flutterWrite = fWrite;
    flutterRead = fRead;
    flutterFraction = fFraction;
    flutterStep = fStep;
}

void DelayModule::getParameterName(int32_t slot, char* text) const
{
    nameText(slot, "Delay", names, text);
}

void DelayModule::getParameterText(int32_t slot, char* text) const
{
    switch (slot) {
    case 0:
    case 1: switchText(params[slot], text); break;
    case 2: syncableText(sync, params[2], "%.0f ms", delayTime * invSampleRate * 1000.0f, text); break;
    case 3: copyText(text, modeNames[mode]); break;
    case 4:
    case 5:
    case 6:
    case 7: percentText(slot, "%3.0f %%", text); break;
    default: copyText(text, ""); break;
    }
}

} // namespace voltara
