#include "tools/pluginhost/PluginLibrary.h"

namespace voltara::pluginhost {

PluginLibrary::PluginLibrary(const std::string& path) : path_(path), module_(platform::LoadLibraryA(path.c_str()))
{
    if (module_ == nullptr)
        throw LoadError(platform::LastLoadError());
}

PluginLibrary::~PluginLibrary()
{
    platform::FreeLibrary(module_);
}

} // namespace voltara::pluginhost
