#pragma once

#include "plugin/RackPlugin.h"

namespace voltara {

// The object a host gets: the rack plus its editor, which follows every
// parameter and program change. Without memory for the editor it has none
// (editor() is null) and main refuses it.
class RackPluginInstance : public RackPlugin {
public:
    explicit RackPluginInstance(HostCallback host, ModuleFactory factory = createRackModule);

    void setParameter(int32_t index, float value) override;
    void setProgram(int32_t program) override;
};

} // namespace voltara
