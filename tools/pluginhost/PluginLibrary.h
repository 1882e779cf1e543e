#pragma once

#include "platform/Module.h"

#include <stdexcept>
#include <string>

namespace voltara::pluginhost {

// The plug-in's library could not be loaded or gave no plug-in; the message
// says why in one line, starting "cannot load the plug-in".
class LoadError : public std::runtime_error {
public:
    explicit LoadError(const std::string& why) : std::runtime_error("cannot load the plug-in: " + why) {}
};

// The plug-in's library, loaded as a host loads it (LoadLibraryA of the
// window-system layer) and freed when this goes.
class PluginLibrary {
public:
    // Throws LoadError when the library cannot be loaded.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const std::string& path() const { return path_; }
    platform::Module module() const { return module_; }

    // An export as its own function type; null when absent.
    template <typename Entry>
    Entry entry(const char* name) const
    {
        return reinterpret_cast<Entry>(platform::GetProcAddress(module_, name));
    }
    // An export the host cannot do without; throws LoadError when absent.
    template <typename Entry>
    Entry requiredEntry(const char* name) const
    {
        const Entry found = entry<Entry>(name);
        if (found == nullptr)
            throw LoadError(path_ + " has no entry " + name);
        return found;
    }

private:
    std::string path_;
    platform::Module module_ = nullptr;
};

} // namespace voltara::pluginhost
