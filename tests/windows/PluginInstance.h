#pragma once

#include "tools/pluginhost/PluginInstance.h"

#include <windows.h>

namespace voltara::winhost {

// The plug-in DLL, loaded through the window-system layer, which on Windows
// is LoadLibrary itself.
using PluginDll = pluginhost::PluginLibrary;

inline HMODULE moduleOf(const PluginDll& dll)
{
    return reinterpret_cast<HMODULE>(dll.module());
}

// One instance as the checks drive it: `main` called at once (the
// descriptor is null when it refused) and every host call recorded.
class PluginInstance : public pluginhost::PluginInstance {
public:
    explicit PluginInstance(const PluginDll& dll) : pluginhost::PluginInstance(dll)
    {
        recordCalls = true;
        open();
    }
};

} // namespace voltara::winhost
