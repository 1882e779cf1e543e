#include "plugin/fx/RackPluginInstance.h"

#include "plugin/host/HostEditor.h"

#include <cmath>

namespace voltara {

RackPluginInstance::RackPluginInstance(HostCallback host, ModuleFactory factory) : RackPlugin(host, factory) {}

void RackPluginInstance::setParameter(int32_t index, float value)
{
    RackPlugin::setParameter(index, value);
    if (editor_ && index >= 0 && index < rackParameterCount && std::isfinite(value))
        editor_->setParameter(index, value);
}

void RackPluginInstance::setProgram(int32_t program)
{
    RackPlugin::setProgram(program);
    if (editor_)
        editor_->refreshAll();
}

} // namespace voltara
