#include "tools/voltara/PluginLibrary.h"

#include "tools/voltara/ToolError.h"

#include <dlfcn.h>

namespace voltara {

PluginLibrary::PluginLibrary(const std::string& path) : path_(path)
{
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr)
        throw ToolError("cannot load the plug-in: " + std::string(dlerror()));
}

PluginLibrary::~PluginLibrary()
{
    dlclose(handle_);
}

void* PluginLibrary::find(const char* name) const
{
    return dlsym(handle_, name);
}

void* PluginLibrary::require(const char* name) const
{
    void* entry = find(name);
    if (entry == nullptr)
        throw ToolError("cannot load the plug-in: " + path_ + " has no entry " + name);
    return entry;
}

} // namespace voltara
