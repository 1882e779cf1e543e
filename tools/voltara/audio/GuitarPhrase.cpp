#include "tools/voltara/audio/GuitarPhrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace voltara {
namespace GuitarPhrase {
namespace {

constexpr double secondsPerBeat = 0.5; // 120 beats per minute
constexpr double phraseSeconds = 10.5;
constexpr double strumSpacing = 0.014; // seconds between strings of a strum
constexpr double dampSeconds = 0.08;   // how fast a fretting hand stops a string
constexpr float peakLevel = 0.5f;      // -6 dB full scale
constexpr double pi = 3.14159265358979323846;

// One plucked string: a noise burst circulating in a tuned delay loop whose
// averaging filter dulls it as it decays.
class PluckedString {
public:
    PluckedString(double frequency, double sampleRate, float velocity, uint32_t seed)
    {
        const double period = sampleRate / frequency;
        // The averager delays by half a sample; the allpass supplies the rest of
        // the fraction so that high notes stay in tune.
        const int length = std::max(2, int(period - 0.7));
        const double fraction = period - 0.5 - length;
        allpass_ = float((1.0 - fraction) / (1.0 + fraction));
        const double ringSeconds = 5.0 - 3.0 * std::clamp((frequency - 80.0) / 600.0, 0.0, 1.0);
        loss_ = float(std::pow(0.001, 1.0 / (frequency * ringSeconds)));
        excite(length, velocity, seed);
    }

    float next()
    {
        const float out = loop_[position_];
        const float averaged = 0.5f * (out + previous_);
        previous_ = out;
        const float tuned = allpass_ * averaged + allpassIn_ - allpass_ * allpassOut_;
        allpassIn_ = averaged;
        allpassOut_ = tuned;
        loop_[position_] = loss_ * tuned;
        position_ = position_ + 1 == loop_.size() ? 0 : position_ + 1;
        return out;
    }

private:
    // Noise, softer for gentler picking, with the notch of a pick near the bridge.
    void excite(int length, float velocity, uint32_t seed)
    {
        std::vector<float> noise(std::size_t(length), 0.0f);
        const float smoothing = 0.75f - 0.5f * velocity;
        float low = 0.0f;
        for (float& sample : noise) {
            seed = seed * 1664525u + 1013904223u;
            const float white = float(seed >> 8) / float(1u << 24) * 2.0f - 1.0f;
            low += (1.0f - smoothing) * (white - low);
            sample = low;
        }
        const std::size_t pick = std::max<std::size_t>(1, std::size_t(length * 0.13));
        loop_.assign(std::size_t(length), 0.0f);
        float mean = 0.0f;
        for (std::size_t i = 0; i < loop_.size(); ++i) {
            loop_[i] = noise[i] - (i >= pick ? noise[i - pick] : 0.0f);
            mean += loop_[i] / float(length);
        }
        for (float& sample : loop_)
            sample = velocity * (sample - mean);
    }

    std::vector<float> loop_;
    std::size_t position_ = 0;
    float loss_ = 0.0f;
    float allpass_ = 0.0f;
    float previous_ = 0.0f;
    float allpassIn_ = 0.0f;
    float allpassOut_ = 0.0f;
};

enum class Stroke { down, up };

// Notes struck together (one note for a single-note line), as MIDI note numbers.
struct Strum {
    double beat;
    double beats; // how long the notes ring before they are damped
    Stroke stroke;
    std::vector<int> notes;
};

const std::vector<Strum>& riff()
{
    static const std::vector<int> eMinor{40, 47, 52, 55, 59, 64};
    static const std::vector<Strum> strums{
        {0.0, 1.5, Stroke::down, eMinor},         {1.5, 0.5, Stroke::up, {55, 59, 64}},
        {2.0, 2.0, Stroke::down, eMinor},         {4.0, 0.5, Stroke::down, {40}},
        {4.5, 0.5, Stroke::down, {40}},           {5.0, 0.5, Stroke::down, {43}},
        {5.5, 0.5, Stroke::down, {45}},           {6.0, 0.5, Stroke::down, {47}},
        {6.5, 0.5, Stroke::down, {50}},           {7.0, 0.5, Stroke::down, {47}},
        {7.5, 0.5, Stroke::down, {45}},           {8.0, 1.5, Stroke::down, {43, 47, 50, 55, 59, 67}},
        {9.5, 0.5, Stroke::up, {52, 55, 60, 64}}, {10.0, 2.0, Stroke::down, {50, 57, 62, 66}},
        {12.0, 0.5, Stroke::down, {71}},          {12.5, 0.5, Stroke::down, {74}},
        {13.0, 1.0, Stroke::down, {76}},          {14.0, 0.5, Stroke::down, {74}},
        {14.5, 0.5, Stroke::down, {71}},          {15.0, 0.5, Stroke::down, {69}},
        {15.5, 0.5, Stroke::down, {67}},          {16.0, 1.0, Stroke::down, {64}},
        {17.0, 2.6, Stroke::down, eMinor},
    };
    return strums;
}

void addNote(StereoAudio& audio, int note, double start, double seconds, float velocity, uint32_t seed)
{
    const double rate = audio.sampleRate;
    const double frequency = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    // Low strings a little to the left, high ones to the right.
    const double pan = pi / 4.0 * (1.0 + 0.6 * (std::clamp(note, 40, 76) - 58) / 18.0);
    const float leftGain = float(std::cos(pan));
    const float rightGain = float(std::sin(pan));
    PluckedString string(frequency, rate, velocity, seed);
    const std::size_t first = std::size_t(start * rate);
    const std::size_t ringing = std::size_t(seconds * rate);
    const std::size_t damping = std::size_t(dampSeconds * rate);
    const std::size_t end = std::min(audio.left.size(), first + ringing + damping);
    for (std::size_t i = first; i < end; ++i) {
        const std::size_t age = i - first;
        const float fade = age < ringing ? 1.0f : 1.0f - float(age - ringing) / float(damping);
        const float sample = fade * string.next();
        audio.left[i] += leftGain * sample;
        audio.right[i] += rightGain * sample;
    }
}

void normalise(StereoAudio& audio)
{
    float peak = 0.0f;
    for (std::size_t i = 0; i < audio.left.size(); ++i)
        peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    if (peak == 0.0f)
        return;
    for (std::size_t i = 0; i < audio.left.size(); ++i) {
        audio.left[i] *= peakLevel / peak;
        audio.right[i] *= peakLevel / peak;
    }
}

} // namespace

StereoAudio synthesise(int sampleRate)
{
    StereoAudio audio;
    audio.sampleRate = sampleRate;
    const std::size_t frames = std::size_t(phraseSeconds * sampleRate);
    audio.left.assign(frames, 0.0f);
    audio.right.assign(frames, 0.0f);
    uint32_t seed = 1;
    for (const Strum& strum : riff()) {
        const std::size_t count = strum.notes.size();
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t order = strum.stroke == Stroke::down ? k : count - 1 - k;
            const double start = strum.beat * secondsPerBeat + double(order) * strumSpacing;
            const double seconds = strum.beats * secondsPerBeat - double(order) * strumSpacing;
            // Strings later in a stroke are hit a little more softly.
            const float velocity = (strum.stroke == Stroke::down ? 0.9f : 0.7f) - 0.04f * float(order);
            addNote(audio, strum.notes[k], start, seconds, velocity, ++seed);
        }
    }
    normalise(audio);
    return audio;
}

} // namespace GuitarPhrase
} // namespace voltara
