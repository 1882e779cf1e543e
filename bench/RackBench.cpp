#include "bench/ModuleBench.h"

#include "plugin/RackPlugin.h"

#include <ctime>
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

// CPU time of this thread, in nanoseconds.
double threadNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

// What a decaying tail costs against music: one module alone (argument 1 to 8,
// the wah to the tremolo) or all eight (9), at its defaults. Each iteration
// resumes the rack, runs ten seconds of music and then thirty of silence, in
// which delay lines, feedback and filters ring down through the numbers
// below the smallest normal float; ns per stereo frame of each.
void rackTail(benchmark::State& state)
{
    const int32_t which = static_cast<int32_t>(state.range(0));
    RackPlugin rack(&benchHost);
    rack.setSampleRate(benchRate);
    rack.setBlockSize(benchBlock);
    for (int32_t slot = slotWah; slot <= slotTremolo; ++slot)
        rack.setParameter(8 * slot, slot == which || which > slotTremolo ? 1.0f : 0.0f);
    const std::vector<float> interleaved = benchInput(benchBlock);
    std::vector<float> left(benchBlock), right(benchBlock), silence(benchBlock, 0.0f), out(2 * benchBlock);
    for (int32_t i = 0; i < benchBlock; ++i) {
        left[i] = interleaved[2 * i];
        right[i] = interleaved[2 * i + 1];
    }
    float* music[2] = {left.data(), right.data()};
    float* quiet[2] = {silence.data(), silence.data()};
    float* outputs[2] = {out.data(), out.data() + benchBlock};
    const auto run = [&](float** inputs, double seconds) {
        const double start = threadNanoseconds();
        for (int32_t done = 0; done < seconds * benchRate; done += benchBlock)
            rack.processOverwriting(inputs, outputs, benchBlock);
        benchmark::DoNotOptimize(out.data());
        return (threadNanoseconds() - start) / (seconds * benchRate);
    };
    double musicTime = 0.0, tailTime = 0.0;
    for (auto _ : state) {
        rack.resume();
        musicTime += run(music, 10.0);
        tailTime += run(quiet, 30.0);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["music_ns_per_frame"] = musicTime / iterations;
    state.counters["tail_ns_per_frame"] = tailTime / iterations;
    state.counters["tail_over_music"] = tailTime / musicTime;
}

} // namespace

BENCHMARK(rackAllOff)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(rackAllOn)->Arg(512);
BENCHMARK(rackTail)->DenseRange(slotWah, slotTremolo + 1)->Unit(benchmark::kMillisecond);

} // namespace voltara
