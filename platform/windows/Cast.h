#pragma once

// Our handles and records are the Windows ones under other names: each call
// hands them over unchanged. Our headers come before windows.h, whose macros
// would otherwise rewrite our constant names.

#include "platform/DragDrop.h"
#include "platform/Gdi.h"
#include "platform/Window.h"

#include <windows.h>

namespace voltara::platform::windows {

template <typename To, typename From>
To as(From value)
{
    static_assert(sizeof(To) == sizeof(From), "handles and records must match their Windows counterparts");
    return reinterpret_cast<To>(value);
}

static_assert(sizeof(WinRect) == sizeof(RECT) && sizeof(WinPoint) == sizeof(POINT));
static_assert(sizeof(WindowClass) == sizeof(WNDCLASSA) && sizeof(Message) == sizeof(MSG));
static_assert(sizeof(PaintStruct) == sizeof(PAINTSTRUCT) && sizeof(LogBrush) == sizeof(LOGBRUSH));
static_assert(sizeof(LogFont) == sizeof(LOGFONTA) && sizeof(BitmapInfo) == sizeof(BITMAP));
static_assert(sizeof(FormatEtc) == sizeof(FORMATETC) && sizeof(StorageMedium) == sizeof(STGMEDIUM));

} // namespace voltara::platform::windows
