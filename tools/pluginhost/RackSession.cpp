#include "tools/pluginhost/RackSession.h"

#include "plugin/host/VendorCalls.h"

#include <algorithm>
#include <cstring>

namespace voltara::pluginhost {
namespace {

// Room for any program name a plug-in writes; the rack's are 24 bytes.
constexpr std::size_t nameBufferSize = 256;

intptr_t dispatch(PluginDescriptor* plugin, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                  void* pointer = nullptr)
{
    return plugin->dispatch(plugin, opcode, index, value, pointer, 0.0f);
}

// The rack's current program takes the values and the name of program.
void writeCurrent(PluginDescriptor* plugin, const RackSession::Program& program)
{
    for (int32_t index = 0; index < RackSession::parameterCount; ++index)
        plugin->setParameter(plugin, index, program.values[std::size_t(index)]);
    char name[RackSession::nameLimit + 1] = {};
    std::strncpy(name, program.name.c_str(), RackSession::nameLimit);
    dispatch(plugin, opSetProgramName, 0, 0, name);
}

} // namespace

std::optional<RackSession> RackSession::capture(PluginDescriptor* plugin)
{
    RackSession session;
    session.current = int32_t(std::clamp<intptr_t>(dispatch(plugin, opGetProgram), 0, programCount - 1));
    for (int32_t p = 0; p < programCount; ++p) {
        Program& program = session.programs[std::size_t(p)];
        if (dispatch(plugin, opVendorCall, VendorCall::programValues, p, program.values.data()) != 1)
            return std::nullopt;
        char name[nameBufferSize] = {};
        dispatch(plugin, opGetProgramNameAt, p, 0, name);
        program.name.assign(name, std::min(std::strlen(name), nameLimit));
    }
    return session;
}

// The rack takes values only into its current program: each program is
// written there and copied to its place, the current one last, so that what
// the modules end with is the current program.
void RackSession::applyTo(PluginDescriptor* plugin) const
{
    const int32_t last = std::clamp(current, 0, programCount - 1);
    dispatch(plugin, opSetProgram, 0, last);
    for (int32_t p = 0; p < programCount; ++p) {
        if (p == last)
            continue;
        writeCurrent(plugin, programs[std::size_t(p)]);
        dispatch(plugin, opCopyProgram, p);
    }
    writeCurrent(plugin, programs[std::size_t(last)]);
}

} // namespace voltara::pluginhost
