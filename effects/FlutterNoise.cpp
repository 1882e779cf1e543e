#include "effects/FlutterNoise.h"

#include <atomic>
#include <cstdlib>

namespace voltara {
namespace FlutterNoise {

namespace {

std::atomic<Source> installed{nullptr};

} // namespace

int32_t next()
{
    const Source source = installed.load(std::memory_order_relaxed);
    // The low 15 bits: all of rand() where RAND_MAX is 32767, and the same
    // range where it is larger.
    return source ? source() : (std::rand() & 0x7FFF);
}

void setSource(Source source)
{
    installed.store(source, std::memory_order_relaxed);
}

} // namespace FlutterNoise
} // namespace voltara
