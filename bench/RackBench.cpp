#include "bench/ModuleBench.h"

#include "plugin/RackPlugin.h"

#include <vector>

namespace voltara {

namespace {

intptr_t benchHost(PluginDescriptor*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    static TimeInfo time = [] {
        TimeInfo t{};
        t.tempo = 120.0;
        return t;
    }();
    if (opcode == hostVersion)
        return 2400;
    return opcode == hostGetTime ? reinterpret_cast<intptr_t>(&time) : 0;
}

// One replacing audio call of the whole rack, through the same path a host
// uses, with every module off or every module on; ns per stereo frame.
void benchmarkRack(benchmark::State& state, bool allOn)
{
    const int32_t block = static_cast<int32_t>(state.range(0));
    RackPlugin rack(&benchHost);
    rack.setSampleRate(benchRate);
    rack.setBlockSize(block);
    rack.resume();
    for (int32_t slot = slotWah; slot <= slotTremolo; ++slot)
        rack.setParameter(8 * slot, allOn ? 1.0f : 0.0f);
    const std::vector<float> interleaved = benchInput(block);
    std::vector<float> left(block), right(block), outLeft(block), outRight(block);
    for (int32_t i = 0; i < block; ++i) {
        left[i] = interleaved[2 * i];
        right[i] = interleaved[2 * i + 1];
    }
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    for (auto _ : state) {
        rack.processOverwriting(inputs, outputs, block);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * block * 1e-9,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * block / benchRate, benchmark::Counter::kIsRate);
}

void rackAllOff(benchmark::State& state)
{
    benchmarkRack(state, false);
}

void rackAllOn(benchmark::State& state)
{
    benchmarkRack(state, true);
}

} // namespace

BENCHMARK(rackAllOff)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(rackAllOn)->Arg(512);

} // namespace voltara
