#include "tests/windows/Registry.h"

#include <windows.h>

namespace voltara::winhost::registry {

namespace {

constexpr const char* productKey = "Software\\Brenmark\\Axewright Voltara";
constexpr const char* installPathValue = "Install Path";

HKEY createKey()
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, productKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
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
    const LSTATUS status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, productKey);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string installPath()
{
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, productKey, installPathValue, RRF_RT_REG_SZ, nullptr, value, &size)
        != ERROR_SUCCESS)
        return {};
    return value;
}

} // namespace voltara::winhost::registry
