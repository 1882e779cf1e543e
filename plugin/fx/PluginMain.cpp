#include "common/Export.h"
#include "plugin/fx/MemoryFileCodec.h"
#include "plugin/fx/RackPluginInstance.h"
#include "plugin/host/PluginDescriptor.h"

#include <new>

using voltara::HostCallback;
using voltara::PluginDescriptor;

extern "C" VOLTARA_EXPORT PluginDescriptor* pluginMain(HostCallback host) VOLTARA_EXPORT_NAME("main");

// The host's entry: one call per plug-in instance. Nothing thrown inside may
// reach the host, so every failure becomes a null descriptor. Without a
// callback the instance is still built; it then makes no host calls.
extern "C" PluginDescriptor* pluginMain(HostCallback host)
{
    if (host && host(nullptr, voltara::hostVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    voltara::registerCodecForMemoryFiles();
    try {
        auto* instance = new voltara::RackPluginInstance(host);
        if (!instance->editor()) {
            delete instance;
            return nullptr;
        }
        return instance->descriptor();
    } catch (...) {
        return nullptr;
    }
}
