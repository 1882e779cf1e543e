#pragma once

#include "platform/Handles.h"

#include <memory>
#include <string>

namespace voltara {

// A key of the machine-wide configuration (HKEY_LOCAL_MACHINE on Windows, in
// its 32-bit view whichever the build).
// Elsewhere a folder tree stands in for the registry: one folder per key, one
// file per value holding the value's raw bytes, rooted at $VOLTARA_REGISTRY,
// else $XDG_CONFIG_HOME/voltara/registry, else ~/.config/voltara/registry.
class VOLTARA_PLATFORM_API RegistryKey {
public:
    enum class Access {
        query, // read values of an existing key
        full,  // read and write; elsewhere than Windows the key is created
    };

    // path: subkeys below the machine root, separated by backslashes.
    RegistryKey(const char* path, Access access);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();

    // Longest value read; a longer one counts as unreadable.
    static constexpr size_t maxValueSize = 65536; // bytes

    bool isOpen() const;
    // The value's bytes as stored; false when the key is not open or the
    // value is absent, unreadable or longer than maxValueSize.
    bool readValue(const char* name, std::string& bytes) const;
    // Stores text as a string value, its terminating NUL included.
    bool writeString(const char* name, const char* text) const;
    // Removes the value; false when the key is not open or the value could
    // not be removed (an absent value counts as removed).
    bool deleteValue(const char* name) const;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

} // namespace voltara
