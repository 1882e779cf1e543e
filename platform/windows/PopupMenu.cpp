#include "platform/PopupMenu.h"
// after our headers: windows.h defines macros of the same names
#include "platform/windows/Cast.h"

namespace voltara::platform {

using windows::as;

Menu CreatePopupMenu()
{
    return as<Menu>(::CreatePopupMenu());
}

Bool DestroyMenu(Menu menu)
{
    return ::DestroyMenu(as<HMENU>(menu));
}

Bool AppendMenuA(Menu menu, uint32_t flags, uintptr_t id, const char* text)
{
    return ::AppendMenuA(as<HMENU>(menu), flags, id, text);
}

Bool TrackPopupMenu(Menu menu, uint32_t flags, int x, int y, int reserved, Window owner, const WinRect* reserved2)
{
    return ::TrackPopupMenu(as<HMENU>(menu), flags, x, y, reserved, as<HWND>(owner),
                            reinterpret_cast<const RECT*>(reserved2));
}

} // namespace voltara::platform
