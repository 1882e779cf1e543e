#include "platform/Module.h"
// after our headers: windows.h defines macros of the same names
#include "platform/windows/Cast.h"

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
