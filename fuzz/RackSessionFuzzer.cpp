// libFuzzer target: any bytes as a saved rack session, restored into a
// running rack as the LV2 plug-in restores its state: read over the rack's
// own session, then put into the rack through its descriptor between audio
// calls. Nothing may crash or read out of bounds; what is read holds values
// within 0 .. 1, names the rack keeps and one of the 32 programs; the rack
// then holds exactly that, the audio stays finite, and the session written
// out again reads back the same.
#include "fuzz/RackFuzzKit.h"
#include "tools/pluginhost/RackSession.h"
#include "tools/pluginhost/RackSessionText.h"

#include <cmath>
#include <string_view>

using namespace voltara;
using pluginhost::RackSession;
namespace RackSessionText = pluginhost::RackSessionText;

static_assert(RackSession::programCount == rackProgramCount && RackSession::parameterCount == rackParameterCount,
              "a session holds the rack's programs");

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkSession(const RackSession& session)
{
    check(session.current >= 0 && session.current < RackSession::programCount);
    for (const RackSession::Program& program : session.programs) {
        check(program.name.size() <= RackSession::nameLimit);
        for (const float value : program.values)
            check(std::isfinite(value) && value >= 0.0f && value <= 1.0f);
    }
}

bool same(const RackSession& a, const RackSession& b, bool bypassShared)
{
    if (a.current != b.current)
        return false;
    for (int32_t p = 0; p < RackSession::programCount; ++p) {
        const RackSession::Program& x = a.programs[std::size_t(p)];
        const RackSession::Program& y = b.programs[std::size_t(p)];
        if (x.name != y.name)
            return false;
        for (int32_t index = 0; index < RackSession::parameterCount; ++index) {
            // Bypass is one value for every program: the current one's.
            const float wanted = index == bypassIndex && bypassShared
                                     ? b.programs[std::size_t(b.current)].values[std::size_t(index)]
                                     : y.values[std::size_t(index)];
            if (x.values[std::size_t(index)] != wanted)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto rack = fuzz::makeRack(8000.0f);
    PluginDescriptor* descriptor = rack->descriptor();
    rack->setProgram(static_cast<int32_t>(size % rackProgramCount));
    fuzz::runAudio(*rack, 256, 1);

    auto session = RackSession::capture(descriptor);
    check(session.has_value());
    RackSessionText::read(std::string_view(reinterpret_cast<const char*>(data), size), *session);
    checkSession(*session);

    session->applyTo(descriptor);
    fuzz::checkState(*rack);
    fuzz::runAudio(*rack, 1024, 2);
    const auto held = RackSession::capture(descriptor);
    check(held.has_value() && same(*held, *session, true));

    // What the rack holds, written and read again, is what it holds.
    RackSession again = *session;
    again.current = (again.current + 1) % RackSession::programCount;
    const RackSessionText::Report report = RackSessionText::read(RackSessionText::write(*held), again);
    check(report.isSession && report.problems.empty());
    check(same(again, *held, false));
    return 0;
}
