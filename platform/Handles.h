#pragma once

#include <cstdint>

// The window-system types every platform header shares. Handles are opaque;
// structures and constants have the layout and values of the Windows ones, so
// the Windows backend hands them to USER32 / GDI32 unchanged.

#if defined(_WIN32) && !defined(_WIN64)
#define VOLTARA_CALLBACK __stdcall
#else
#define VOLTARA_CALLBACK
#endif

// The Linux backend is a shared library that the plug-in and its host share.
#if defined(_WIN32)
#define VOLTARA_PLATFORM_API
#else
#define VOLTARA_PLATFORM_API __attribute__((visibility("default")))
#endif

namespace voltara::platform {

struct WindowObject;
struct DeviceContextObject;
struct GdiObjectBase;
struct ModuleObject;
struct MenuObject;
struct CursorObject;

using Window = WindowObject*;
using DeviceContext = DeviceContextObject*;
// Pens, brushes, fonts and bitmaps.
using GdiObject = GdiObjectBase*;
using Module = ModuleObject*;
using Menu = MenuObject*;
using Cursor = CursorObject*;

using Bool = int32_t;
using ColourRef = uint32_t; // red | green << 8 | blue << 16
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

struct WinPoint {
    int32_t x;
    int32_t y;
};

struct WinRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

constexpr ColourRef rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return ColourRef(red) | ColourRef(green) << 8 | ColourRef(blue) << 16;
}

// A resource or system-cursor number passed where a name may stand.
inline const char* intResource(uint32_t id)
{
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(id & 0xFFFF));
}

} // namespace voltara::platform
