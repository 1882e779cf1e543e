#include "plugin/RackPlugin.h"
#include "tools/pluginhost/RackSession.h"

#include <benchmark/benchmark.h>

namespace voltara {

namespace {

intptr_t sessionHost(PluginDescriptor*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == hostVersion ? 2400 : 0;
}

// What the LV2 plug-in's audio thread does with a session restored while it
// runs: all 32 programs into a resumed rack, every module on, between two
// audio calls. A run of 64 frames at 48 kHz lasts 1333 us.
void restoredSessionIntoTheRack(benchmark::State& state)
{
    RackPlugin rack(&sessionHost);
    rack.setSampleRate(48000.0f);
    rack.setBlockSize(64);
    rack.resume();
    auto session = pluginhost::RackSession::capture(rack.descriptor());
    for (auto& program : session->programs)
        for (int32_t slot = slotWah; slot <= slotTremolo; ++slot)
            program.values[std::size_t(8 * slot)] = 1.0f;
    for (auto _ : state) {
        session->applyTo(rack.descriptor());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(restoredSessionIntoTheRack)->Unit(benchmark::kMicrosecond);

} // namespace voltara
