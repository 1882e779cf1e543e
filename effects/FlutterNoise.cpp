#include "effects/FlutterNoise.h"

#include "common/Relaxed.h"

#include <cstdlib>

namespace voltara {
namespace FlutterNoise {

namespace {

Relaxed<Source> installed{nullptr};

} // namespace

int32_t next()
{
    const Source source = installed;
    // The low 15 bits: all of rand() where RAND_MAX is 32767, and the same
    // range where it is larger.
    return source ? source() : (std::rand() & 0x7FFF);
}

void setSource(Source source)
{
    installed = source;
}

} // namespace FlutterNoise
} // namespace voltara
