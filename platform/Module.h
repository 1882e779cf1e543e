#pragma once

#include "platform/Handles.h"

// Loaded modules: the one containing an address, libraries loaded by name,
// their entries, and the bitmap resources a module carries.

namespace voltara::platform {

using ProcAddress = void (*)();

// The module (library or program) whose image contains the address.
VOLTARA_PLATFORM_API Module ModuleFromAddress(const void* address);
// name: a built-in library (msimg32.dll) or a path; the module is the same
// handle ModuleFromAddress gives for an address inside it.
VOLTARA_PLATFORM_API Module LoadLibraryA(const char* name);
// Why the calling thread's last LoadLibraryA failed, in the system's words.
VOLTARA_PLATFORM_API const char* LastLoadError();
VOLTARA_PLATFORM_API ProcAddress GetProcAddress(Module module, const char* name);
VOLTARA_PLATFORM_API Bool FreeLibrary(Module module);
// name: a resource number through intResource.
VOLTARA_PLATFORM_API GdiObject LoadBitmapA(Module module, const char* name);

} // namespace voltara::platform
