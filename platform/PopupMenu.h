#pragma once

#include "platform/Handles.h"

// Popup menus: built item by item, shown at a screen point; the choice
// arrives as WM_COMMAND at the owner window.

namespace voltara::platform {

constexpr uint32_t MF_STRING = 0x0000;
constexpr uint32_t MF_GRAYED = 0x0001;
constexpr uint32_t MF_DISABLED = 0x0002;
constexpr uint32_t MF_CHECKED = 0x0008;
constexpr uint32_t MF_POPUP = 0x0010;
constexpr uint32_t MF_MENUBARBREAK = 0x0020;
constexpr uint32_t MF_MENUBREAK = 0x0040;
constexpr uint32_t MF_OWNERDRAW = 0x0100;
constexpr uint32_t MF_SEPARATOR = 0x0800;

constexpr uint32_t TPM_RIGHTBUTTON = 0x0002;

VOLTARA_PLATFORM_API Menu CreatePopupMenu();
VOLTARA_PLATFORM_API Bool DestroyMenu(Menu menu);
// id: the command number, or the sub-menu with MF_POPUP.
VOLTARA_PLATFORM_API Bool AppendMenuA(Menu menu, uint32_t flags, uintptr_t id, const char* text);
VOLTARA_PLATFORM_API Bool TrackPopupMenu(Menu menu, uint32_t flags, int x, int y, int reserved, Window owner,
                                         const WinRect* reserved2);

} // namespace voltara::platform
