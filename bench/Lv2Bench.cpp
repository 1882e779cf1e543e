#include "bench/ModuleBench.h"

#include "lv2/PortTable.h"
#include "tests/support/lv2/Lv2Host.h"
#include "tools/pluginhost/PluginInstance.h"

#include <ctime>
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

// CPU time of this thread, in nanoseconds.
double threadNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

// The rack with all eight modules on, one block of 512 frames each way per
// iteration, so that both see the same machine load:
//  - through the descriptor, as the command-line host drives it (its kit, one
//    replacing call per block, time answered per call);
//  - through the bundle's LV2 plug-in (controls compared and passed on, an
//    empty event sequence, the lamps read back, per run).
// Counters: ns per stereo frame each way, and the LV2 path's extra cost in %.
void lv2PathOverDescriptorPath(benchmark::State& state)
{
    pluginhost::LoadedPlugin direct(VOLTARA_PLUGIN_PATH);
    direct.prepare(benchRate, benchBlock, 120.0);
    for (int32_t index = 0; index < int32_t(lv2::controlPortCount); ++index)
        direct.setParameter(index, startValue(index));
    direct.resume();

    test::Lv2Host::Setup setup;
    setup.sampleRate = benchRate;
    setup.maxBlockLength = benchBlock;
    test::Lv2Host lv2(VOLTARA_LV2_BUNDLE, VOLTARA_LV2_BINARY, setup);
    for (uint32_t i = 0; i < lv2::controlPortCount; ++i)
        lv2.control(lv2::firstControlPort + i) = startValue(lv2::controlParameter[i]);
    lv2.activate();

    PlanarInput audio;
    float* inputs[2] = {audio.left.data(), audio.right.data()};
    float* outputs[2] = {audio.outLeft.data(), audio.outRight.data()};
    double directTime = 0.0, lv2Time = 0.0;
    for (auto _ : state) {
        const double start = threadNanoseconds();
        direct.process(inputs, outputs, benchBlock);
        benchmark::DoNotOptimize(audio.outLeft.data());
        benchmark::ClobberMemory();
        const double middle = threadNanoseconds();
        lv2.run(audio.left.data(), audio.right.data(), audio.outLeft.data(), audio.outRight.data(), benchBlock);
        benchmark::DoNotOptimize(audio.outLeft.data());
        benchmark::ClobberMemory();
        directTime += middle - start;
        lv2Time += threadNanoseconds() - middle;
    }
    const double frames = double(state.iterations()) * benchBlock;
    state.counters["descriptor_ns_per_frame"] = directTime / frames;
    state.counters["lv2_ns_per_frame"] = lv2Time / frames;
    state.counters["lv2_extra_percent"] = 100.0 * (lv2Time - directTime) / directTime;
}

} // namespace

BENCHMARK(lv2PathOverDescriptorPath)->MinTime(2.0);

} // namespace voltara
