#include "bench/ModuleBench.h"

#include "effects/ChorusModule.h"
#include "effects/DelayModule.h"
#include "effects/ReverbModule.h"
#include "effects/TremoloModule.h"

namespace voltara {

BENCHMARK_TEMPLATE(benchmarkModule, ChorusModule);
BENCHMARK_TEMPLATE(benchmarkModule, DelayModule);
BENCHMARK_TEMPLATE(benchmarkModule, ReverbModule);
BENCHMARK_TEMPLATE(benchmarkModule, TremoloModule);

} // namespace voltara
