#pragma once

#include <string>

namespace voltara {

// The plug-in's shared library, loaded as a host loads it and closed when
// this goes. Both the plug-in host and the codec's commands find their
// entries through it.
class PluginLibrary {
public:
    // Throws ToolError when the library cannot be loaded.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const std::string& path() const { return path_; }
    // An export the command cannot do without; throws ToolError when absent.
    template <typename Entry>
    Entry entry(const char* name) const
    {
        return reinterpret_cast<Entry>(require(name));
    }
    // An export that may be missing: null then.
    template <typename Entry>
    Entry optionalEntry(const char* name) const
    {
        return reinterpret_cast<Entry>(find(name));
    }

private:
    void* find(const char* name) const;
    void* require(const char* name) const;

    std::string path_;
    void* handle_ = nullptr;
};

} // namespace voltara
