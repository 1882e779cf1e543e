#include "bench/ModuleBench.h"

#include "effects/FilterModule.h"
#include "effects/FlangerModule.h"
#include "effects/PhaserModule.h"
#include "effects/WahModule.h"

namespace voltara {

BENCHMARK_TEMPLATE(benchmarkModule, WahModule);
BENCHMARK_TEMPLATE(benchmarkModule, FilterModule);
BENCHMARK_TEMPLATE(benchmarkModule, PhaserModule);
BENCHMARK_TEMPLATE(benchmarkModule, FlangerModule);

} // namespace voltara
