#include "platform/RegistryKey.h"

#include <cstring>

#include <windows.h>

namespace voltara {

struct RegistryKey::Handle {
    HKEY key = nullptr;
};

RegistryKey::RegistryKey(const char* path, Access access) : handle_(new Handle)
{
    // The registry's 32-bit view, where the installer writes: the 64-bit
    // plug-in reads the same value as the 32-bit one.
    const REGSAM rights = (access == Access::full ? KEY_ALL_ACCESS : KEY_QUERY_VALUE) | KEY_WOW64_32KEY;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, rights, &handle_->key) != ERROR_SUCCESS)
        handle_->key = nullptr;
}

RegistryKey::~RegistryKey()
{
    if (handle_->key)
        RegCloseKey(handle_->key);
}

bool RegistryKey::isOpen() const
{
    return handle_->key != nullptr;
}

bool RegistryKey::readValue(const char* name, std::string& bytes) const
{
    DWORD size = 0;
    if (!isOpen() || RegQueryValueExA(handle_->key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS
        || size > maxValueSize)
        return false;
    std::string data(size, '\0');
    if (RegQueryValueExA(handle_->key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size)
        != ERROR_SUCCESS)
        return false;
    data.resize(size);
    bytes = data;
    return true;
}

bool RegistryKey::writeString(const char* name, const char* text) const
{
    const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    return isOpen()
           && RegSetValueExA(handle_->key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS;
}

bool RegistryKey::deleteValue(const char* name) const
{
    if (!isOpen())
        return false;
    const LONG result = RegDeleteValueA(handle_->key, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

} // namespace voltara
