#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace voltara {

constexpr float benchRate = 44100.0f;
constexpr int32_t benchBlock = 512;

// A plucked, decaying two-note signal: enough level to drive detectors and
// feedback, never silent, never denormal.
inline std::vector<float> benchInput(int32_t frames)
{
    std::vector<float> buffer(2 * static_cast<size_t>(frames));
    for (int32_t i = 0; i < frames; ++i) {
        const float t = static_cast<float>(i) / benchRate;
        const float env = 0.2f + 0.6f * std::exp(-3.0f * std::fmod(t, 0.5f));
        buffer[2 * i] = env * std::sin(6.2831853f * 196.0f * t);
        buffer[2 * i + 1] = env * std::sin(6.2831853f * 247.0f * t + 0.3f);
    }
    return buffer;
}

// ns per stereo frame of one module alone: 44.1 kHz, block 512, defaults,
// switched on, host tempo 120 BPM. Each block starts from a fresh copy of the
// input so the figure does not depend on what feedback does to the signal.
template <class Module>
void benchmarkModule(benchmark::State& state)
{
    Module module;
    module.setSampleRate(benchRate);
    module.setTempo(120.0 / (60.0 * benchRate), 4.0);
    module.setParameter(0, 1.0f);
    const std::vector<float> input = benchInput(benchBlock);
    std::vector<float> work(input.size());
    double songPos = 0.0;
    for (auto _ : state) {
        std::memcpy(work.data(), input.data(), input.size() * sizeof(float));
        module.process(work.data(), benchBlock, songPos);
        songPos += benchBlock * 120.0 / (60.0 * benchRate);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * benchBlock * 1e-9,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace voltara
