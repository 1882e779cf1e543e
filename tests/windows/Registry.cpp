#include "tests/windows/Registry.h"

#include <windows.h>

namespace voltara::winhost::registry {

namespace {

constexpr const char* productKey = "Software\\Brenmark\\Axewright Voltara";
constexpr const char* installPathValue = "Install Path";
// The registry's 32-bit view, which both builds of the plug-in read.
constexpr REGSAM view = KEY_WOW64_32KEY;

HKEY createKey()
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, productKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

bool writeInstallPath(const std::string& value)
{
    HKEY key = createKey();
    if (!key)
        return false;
    const bool written = RegSetValueExA(key, installPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                        DWORD(value.size() + 1))
                         == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

bool removeInstallPath()
{
    HKEY key = createKey();
    if (!key)
        return false;
    const LSTATUS status = RegDeleteValueA(key, installPathValue);
    RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool removeKey()
{
    const LSTATUS status = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, productKey, view, 0);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string installPath()
{
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    const LSTATUS status = RegGetValueA(HKEY_LOCAL_MACHINE, productKey, installPathValue,
                                        RRF_RT_REG_SZ | RRF_SUBKEY_WOW6432KEY, nullptr, value, &size);
    return status == ERROR_SUCCESS ? value : std::string();
}

} // namespace voltara::winhost::registry
