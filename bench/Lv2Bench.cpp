#include "ModuleBench.h"

#include "PluginHost.h"
#include "lv2/PortTable.h"
#include "tests/support/lv2/Lv2Host.h"

#include <vector>

namespace voltara {
namespace {

// The on switch of every module; both paths run all eight.
constexpr int32_t onSwitches[] = {8, 16, 24, 32, 40, 48, 56, 64};

float startValue(int32_t index)
{
    for (int32_t on : onSwitches) {
        if (on == index)
            return 1.0f;
    }
    return lv2::factoryPrograms[0].values[index];
}

struct PlanarInput {
    PlanarInput() : left(benchBlock), right(benchBlock), outLeft(benchBlock), outRight(benchBlock)
    {
        const std::vector<float> interleaved = benchInput(benchBlock);
        for (int32_t i = 0; i < benchBlock; ++i) {
            left[i] = interleaved[2 * i];
            right[i] = interleaved[2 * i + 1];
        }
    }
    std::vector<float> left, right, outLeft, outRight;
};

void reportFrames(benchmark::State& state)
{
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * benchBlock * 1e-9,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The rack as the command-line host drives it: loaded with dlopen, one
// replacing call per block through the descriptor, time answered per call.
void allOnThroughTheDescriptor(benchmark::State& state)
{
    PluginHost host(VOLTARA_PLUGIN_PATH);
    host.prepare(benchRate, benchBlock, 120.0);
    for (int32_t index = 0; index < int32_t(lv2::controlPortCount); ++index)
        host.setParameter(index, startValue(index));
    host.resume();
    PlanarInput audio;
    float* inputs[2] = {audio.left.data(), audio.right.data()};
    float* outputs[2] = {audio.outLeft.data(), audio.outRight.data()};
    for (auto _ : state) {
        host.process(inputs, outputs, benchBlock);
        benchmark::DoNotOptimize(audio.outLeft.data());
        benchmark::ClobberMemory();
    }
    reportFrames(state);
}

// The same rack through the LV2 plug-in of the bundle: controls compared and
// passed on, an empty event sequence, the lamps read back, per run.
void allOnThroughLv2(benchmark::State& state)
{
    test::Lv2Host::Setup setup;
    setup.sampleRate = benchRate;
    setup.maxBlockLength = benchBlock;
    test::Lv2Host host(VOLTARA_LV2_BUNDLE, VOLTARA_LV2_BINARY, setup);
    for (uint32_t i = 0; i < lv2::controlPortCount; ++i)
        host.control(lv2::firstControlPort + i) = startValue(lv2::controlParameter[i]);
    host.activate();
    PlanarInput audio;
    for (auto _ : state) {
        host.run(audio.left.data(), audio.right.data(), audio.outLeft.data(), audio.outRight.data(), benchBlock);
        benchmark::DoNotOptimize(audio.outLeft.data());
        benchmark::ClobberMemory();
    }
    reportFrames(state);
}

} // namespace

BENCHMARK(allOnThroughTheDescriptor);
BENCHMARK(allOnThroughLv2);

} // namespace voltara
