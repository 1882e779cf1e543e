#include "effects/ReverbModule.h"

#include "effects/LaneOrder.h"
#include "effects/OnePole.h"

#include <algorithm>
#include <cmath>

namespace voltara {

namespace {

constexpr int32_t chunkFrames = 256; // frames per pass of the block's loops
constexpr float diffuserSeconds = 0.5f;
constexpr float lineSeconds = 0.2f;
constexpr float diffuserRatio = 0.789f; // each all-pass stage this much shorter
constexpr float lineRatio = 0.776f;     // each network line this much shorter
// The spring's first diffuser stage feeds back on itself with its gain, so
// the gain must stay below 1. "*S.Boing" sets it to 0.7 + 0.35 v, which
// passes 1 at v = 0.857: the gain stops where v = 0.85 puts it (0.9975), so
// every value up to 0.85 sounds as ever and any higher one as 0.85, which
// rings for about half a minute but never grows, at any sample rate.
constexpr float maxSpringGain = 0.7f + 0.35f * 0.85f;

enum Model : int32_t { spring, plate, hall, modelCount };

struct ModelConstants {
    float lowPassHz;       // input low-pass corner; 0 for none
    float highPassHz;      // input high-pass corner
    float diffuserSeconds; // longest all-pass stage
    float diffuserGain;
    float lineSeconds;  // longest network line
    float longestDecay; // network gain at Time 1.0
    float dampingHz;
};

const ModelConstants models[modelCount] = {
    {50000.0f, 13000.0f, 0.01052f, 0.53f, 0.09898f, 0.69f, 32000.0f},
    {0.0f, 2000.0f, 0.05209f, 0.7f, 0.14766f, 0.6f, 50000.0f},
    {33000.0f, 800.0f, 0.0763f, 0.6f, 0.18451f, 0.66f, 15000.0f},
};

constexpr FxModule::SlotText percent = percentSlot("%.0f %%");

const FxModule::Description description = {
    "Reverb",
    {"REVERB", "Time", "Mode", "Mix", "*S.Boing", "*S.Dirt", "", ""},
    {0.0f, 0.5f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f},
    {onOffSlot, {}, {}, percent, percent, percent, {}, {}},
};
const char* const modelNames[modelCount] = {"Spring", "Plate", "Hall"};

} // namespace

ReverbModule::ReverbModule() : FxModule(description) {}

void ReverbModule::setSampleRate(float rate)
{
    storeSampleRate(rate);
    diffuserLine_.resize(SampleLine::lengthOf(diffuserSeconds * rate));
    const int32_t lineLength = SampleLine::lengthOf(lineSeconds * rate);
    for (SampleLine& line : lines_)
        line.resize(lineLength);
    reset();
}

void ReverbModule::reset()
{
    diffuserWrite_ = 0;
    lineWrite_ = 0;
    inputLow_ = 0.0f;
    inputHigh_ = 0.0f;
    std::fill(state_, state_ + lineCount, 0.0f);
    diffuserLine_.clear();
    for (SampleLine& line : lines_)
        line.clear();
    reapplyParameters();
}

void ReverbModule::setParameter(int32_t slot, float value)
{
    FxModule::setParameter(slot, value);
    if (slot == modeKnob) {
        const float scaled = 2.9f * value;
        model_ = scaled >= static_cast<float>(hall) ? hall : scaled > 0.0f ? static_cast<int32_t>(scaled) : spring;
    } else if (slot == mixKnob) {
        wetGain_ = 0.5f * (value * value);
    }
    updateModel();
}

void ReverbModule::updateModel()
{
    const ModelConstants& constants = models[model_];
    const float rate = sampleRate_;
    const float inv = invSampleRate_;
    const float shortfall = 1.0f - params_[timeKnob]; // of Time below 1.0
    inputLowCoef_ = constants.lowPassHz > 0.0f ? onePoleCoef(constants.lowPassHz, inv) : 1.0f;
    // The linear coefficient passes 1 at rates below the corner (the spring's
    // 13000 per second, at 8 kHz 1.625), where the section overshoots and
    // boosts the top of the band up to 5 times; at 1 it is a plain difference.
    inputHighCoef_ = std::min(constants.highPassHz * inv, 1.0f);
    diffuserBase_ = std::floor(constants.diffuserSeconds * rate);
    diffuserGain_ = constants.diffuserGain;
    lineBase_ = std::floor(constants.lineSeconds * rate);
    decay_ = constants.longestDecay - 0.5f * (shortfall * shortfall);
    damping_ = std::exp(-constants.dampingHz * inv);
}

void ReverbModule::process(float* frames, int32_t count, double)
{
    float* const diffuser = diffuserLine_.data();
    float* const n0 = lines_[0].data();
    float* const n1 = lines_[1].data();
    float* const n2 = lines_[2].data();
    float* const n3 = lines_[3].data();
    if (!on_ || !diffuser || !n0 || !n1 || !n2 || !n3)
        return;
    const int32_t diffuserLength = diffuserLine_.length();
    const int32_t lineLength = lines_[0].length();

    const bool isSpring = model_ == spring;
    const float dec = decay_;
    float w = wetGain_ / (dec + 0.5f);
    if (isSpring)
        w *= 2.0f; // one wet signal for both sides

    const float b = diffuserBase_;
    int32_t dw = diffuserWrite_;
    int32_t a0 = indexOnLine(dw + static_cast<int32_t>(b), diffuserLength);
    int32_t a1 = indexOnLine(a0 + static_cast<int32_t>(diffuserRatio * b), diffuserLength);
    int32_t a2 = indexOnLine(a1 + static_cast<int32_t>(diffuserRatio * diffuserRatio * b), diffuserLength);
    int32_t a3 =
        indexOnLine(a2 + static_cast<int32_t>(diffuserRatio * diffuserRatio * diffuserRatio * b), diffuserLength);

    const float g = diffuserGain_;
    // The spring voices the diffuser's first stage: more gain ("*S.Boing")
    // and a lower clip ("*S.Dirt").
    const float h = isSpring ? std::min(0.7f + 0.35f * params_[boingKnob], maxSpringGain) : g;
    const float clip = isSpring ? 1.1f - params_[dirtKnob] : 2.0f;

    // Four frames at once where no stage reads what another of the four wrote:
    // where every stage is at least four frames long (the last is the shortest).
    const bool fourAtOnce = static_cast<int32_t>(diffuserRatio * diffuserRatio * diffuserRatio * b) >= 4;
    const __m128 gain = _mm_set1_ps(g);
    const __m128 firstGain = _mm_set1_ps(h);
    const __m128 firstClip = _mm_set1_ps(clip);

    const float l = lineBase_;
    int32_t lw = lineWrite_;
    int32_t b0 = indexOnLine(lw + static_cast<int32_t>(l), lineLength);
    int32_t b1 = indexOnLine(lw + static_cast<int32_t>(lineRatio * l), lineLength);
    int32_t b2 = indexOnLine(lw + static_cast<int32_t>(lineRatio * lineRatio * l), lineLength);
    int32_t b3 = indexOnLine(lw + static_cast<int32_t>(lineRatio * lineRatio * lineRatio * l), lineLength);

    const float lowCoef = inputLowCoef_;
    const float highCoef = inputHighCoef_;
    const float damp = damping_;
    float low = inputLow_;
    float high = inputHigh_;
    float st0 = state_[0];
    float st1 = state_[1];
    float st2 = state_[2];
    float st3 = state_[3];
    // Every index moves down one place a frame: the block goes in runs that
    // end where the first of them wraps, each run a loop over plain offsets.
    // The network's indices move before they are used, so they are held as
    // the places the next frame uses.
    lw = olderIndex(lw, lineLength);
    b0 = olderIndex(b0, lineLength);
    b1 = olderIndex(b1, lineLength);
    b2 = olderIndex(b2, lineLength);
    b3 = olderIndex(b3, lineLength);

    // The input filters, one frame.
    const auto filterInput = [&](const float* frame) {
        low += (frame[0] + frame[1] - low) * lowCoef;
        const float d = low - high;
        high += d * highCoef;
        return d;
    };
    const auto runLength = [&](int32_t left) {
        return std::min(
            {left, chunkFrames, dw + 1, a0 + 1, a1 + 1, a2 + 1, a3 + 1, lw + 1, b0 + 1, b1 + 1, b2 + 1, b3 + 1});
    };
    // A run's input filters go alongside the run before it (its network), so
    // that the two recursions overlap.
    float buffers[2][chunkFrames];
    float* diffused = buffers[0];
    float* filteredNext = buffers[1];
    int32_t run = runLength(count);
    for (int32_t j = 0; j < run; ++j)
        diffused[j] = filterInput(frames + 2 * j);

    for (int32_t done = 0; done < count;) {
        float* const io = frames + 2 * done;

        // The diffuser, which touches only the diffuser's line.
        float* const dWrite = diffuser + dw;
        float* const d0 = diffuser + a0;
        float* const d1 = diffuser + a1;
        float* const d2 = diffuser + a2;
        float* const d3 = diffuser + a3;
        int32_t j = 0;
        if (fourAtOnce) {
            // Lanes in the line's order: the frame j + 3 first.
            for (; j + 4 <= run; j += 4) {
                const int32_t at = -j - 3;
                const __m128 d = reversed(_mm_loadu_ps(diffused + j));
                const __m128 u0 = _mm_sub_ps(_mm_loadu_ps(d0 + at), _mm_mul_ps(gain, d));
                _mm_storeu_ps(dWrite + at, _mm_min_ps(firstClip, _mm_add_ps(d, _mm_mul_ps(firstGain, u0))));
                const __m128 u1 = _mm_sub_ps(_mm_loadu_ps(d1 + at), _mm_mul_ps(gain, u0));
                _mm_storeu_ps(d0 + at, _mm_add_ps(u0, _mm_mul_ps(gain, u1)));
                const __m128 u2 = _mm_sub_ps(_mm_loadu_ps(d2 + at), _mm_mul_ps(gain, u1));
                _mm_storeu_ps(d1 + at, _mm_add_ps(u1, _mm_mul_ps(gain, u2)));
                const __m128 u3 = _mm_sub_ps(_mm_loadu_ps(d3 + at), _mm_mul_ps(gain, u2));
                _mm_storeu_ps(d2 + at, _mm_add_ps(u2, _mm_mul_ps(gain, u3)));
                _mm_storeu_ps(diffused + j, reversed(u3));
            }
        }
        for (; j < run; ++j) {
            const float d = diffused[j];
            // Four all-pass stages; each writes back where the previous one read.
            const float u0 = d0[-j] - g * d;
            dWrite[-j] = std::min(d + h * u0, clip);
            const float u1 = d1[-j] - g * u0;
            d0[-j] = u0 + g * u1;
            const float u2 = d2[-j] - g * u1;
            d1[-j] = u1 + g * u2;
            const float u3 = d3[-j] - g * u2;
            d2[-j] = u2 + g * u3;
            diffused[j] = u3;
        }

        // The network and the outputs.
        float* const w0 = n0 + lw;
        float* const w1 = n1 + lw;
        float* const w2 = n2 + lw;
        float* const w3 = n3 + lw;
        const float* const r0p = n0 + b0;
        const float* const r1p = n1 + b1;
        const float* const r2p = n2 + b2;
        const float* const r3p = n3 + b3;
        const auto network = [&](int32_t j) {
            const float u3 = diffused[j];
            const float r0 = r0p[-j];
            const float r1 = r1p[-j];
            const float r2 = r2p[-j];
            const float r3 = r3p[-j];
            const float s0 = u3 + r0;
            st0 = s0 + (st0 - s0) * damp;
            w0[-j] = (st1 + st2) * dec;
            const float s1 = u3 + r1;
            st1 = s1 + (st1 - s1) * damp;
            w1[-j] = -(st3 + st0) * dec;
            st2 = u3 + r2;
            w2[-j] = (st0 - st3) * dec;
            st3 = u3 + r3;
            w3[-j] = (st1 - st2) * dec;

            const float right = s0 + r3;
            const float left = isSpring ? right : s1 + r2;
            io[2 * j] += w * left;
            io[2 * j + 1] += w * right;
        };

        done += run;
        dw = olderIndex(dw, diffuserLength, run);
        a0 = olderIndex(a0, diffuserLength, run);
        a1 = olderIndex(a1, diffuserLength, run);
        a2 = olderIndex(a2, diffuserLength, run);
        a3 = olderIndex(a3, diffuserLength, run);
        lw = olderIndex(lw, lineLength, run);
        b0 = olderIndex(b0, lineLength, run);
        b1 = olderIndex(b1, lineLength, run);
        b2 = olderIndex(b2, lineLength, run);
        b3 = olderIndex(b3, lineLength, run);
        const int32_t nextRun = runLength(count - done);
        const float* const nextIo = frames + 2 * done;
        const int32_t together = std::min(run, nextRun);
        for (j = 0; j < together; ++j) {
            network(j);
            filteredNext[j] = filterInput(nextIo + 2 * j);
        }
        for (; j < run; ++j)
            network(j);
        for (; j < nextRun; ++j)
            filteredNext[j] = filterInput(nextIo + 2 * j);
        std::swap(diffused, filteredNext);
        run = nextRun;
    }

    diffuserWrite_ = dw;
    // Back to the place the last frame used, which the next frame moves on from.
    lineWrite_ = lw == lineLength - 1 ? 0 : lw + 1;
    inputLow_ = low;
    inputHigh_ = high;
    state_[0] = st0;
    state_[1] = st1;
    state_[2] = st2;
    state_[3] = st3;
}

void ReverbModule::getParameterText(int32_t slot, char* text) const
{
    if (slot == timeKnob) {
        const float v = params_[timeKnob];
        formatText(text, "%.1f s", 9.75f * (v * v) + 0.25f);
    } else if (slot == modeKnob) {
        copyText(text, modelNames[model_]);
    } else {
        FxModule::getParameterText(slot, text);
    }
}

} // namespace voltara
