#include "plugin/fx/RackPluginInstance.h"

#include "editor/RackEditor.h"

#include <cmath>
#include <new>

namespace voltara {

RackPluginInstance::RackPluginInstance(HostCallback host, ModuleFactory factory) : RackPlugin(host, factory)
{
    // The editor attaches itself; without one, main gives the host nothing.
    try {
        new RackEditor(this, *this);
    } catch (const std::bad_alloc&) {
    }
}

void RackPluginInstance::setParameter(int32_t index, float value)
{
    RackPlugin::setParameter(index, value);
    if (editor_ && index >= 0 && index < rackParameterCount && std::isfinite(value))
        editor_->setParameter(index, limitedParameter(value));
}

void RackPluginInstance::setProgram(int32_t program)
{
    RackPlugin::setProgram(program);
    if (editor_)
        editor_->refreshAll();
}

} // namespace voltara
