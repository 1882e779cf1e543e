#include "platform/Module.h"
// after our headers: windows.h defines macros of the same names
#include "platform/windows/Cast.h"

#include <cstdio>

namespace voltara::platform {

using windows::as;

Module ModuleFromAddress(const void* address)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(address), &module))
        return nullptr;
    return as<Module>(module);
}

Module LoadLibraryA(const char* name)
{
    return as<Module>(::LoadLibraryA(name));
}

const char* LastLoadError()
{
    static thread_local char text[512];
    const DWORD error = ::GetLastError();
    if (::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                         sizeof text, nullptr)
        == 0)
        std::snprintf(text, sizeof text, "system error %lu", static_cast<unsigned long>(error));
    return text;
}

ProcAddress GetProcAddress(Module module, const char* name)
{
    return reinterpret_cast<ProcAddress>(::GetProcAddress(as<HMODULE>(module), name));
}

Bool FreeLibrary(Module module)
{
    return ::FreeLibrary(as<HMODULE>(module));
}

GdiObject LoadBitmapA(Module module, const char* name)
{
    return as<GdiObject>(::LoadBitmapA(as<HINSTANCE>(module), name));
}

} // namespace voltara::platform
