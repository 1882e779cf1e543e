#include "tools/voltara/PluginLibrary.h"

#include "tools/voltara/ToolError.h"

#include <climits>
#include <dlfcn.h>
#include <unistd.h>

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

std::string PluginLibrary::besideExecutable()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return "voltara_fx.so";
    const std::string executable(self, std::size_t(length));
    return executable.substr(0, executable.rfind('/') + 1) + "voltara_fx.so";
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
