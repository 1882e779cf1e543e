#include "platform/PopupMenu.h"
#include "platform/linux/Host.h"
#include "platform/linux/WindowSystem.h"

#include <map>

// Popup menus are built like the real ones; showing one hands the menu as
// built to the chooser the host installed, and a choice is posted to the
// owner as WM_COMMAND.

namespace voltara::platform {

struct MenuObject {
    struct Item {
        uint32_t flags;
        uintptr_t command;
        std::string text;
        Menu submenu;
    };
    std::vector<Item> items;
};

namespace {

Installed<host::MenuChooser>& chooser()
{
    static auto* installed = new Installed<host::MenuChooser>;
    return *installed;
}

// The choosers of single top-level windows (a presenter's).
Installed<std::map<Window, host::MenuChooser>>& windowChoosers()
{
    static auto* installed = new Installed<std::map<Window, host::MenuChooser>>;
    return *installed;
}

host::MenuChooser chooserFor(Window owner)
{
    Window top = nullptr;
    {
        std::lock_guard<std::mutex> lock(systemLock());
        if (isLiveWindow(owner))
            top = topLevel(owner);
    }
    const auto choosers = windowChoosers().get();
    const auto found = choosers.find(top);
    return found != choosers.end() ? found->second : chooser().get();
}

std::vector<host::MenuItem> snapshot(const MenuObject* menu)
{
    std::vector<host::MenuItem> items;
    for (const auto& item : menu->items) {
        host::MenuItem shown;
        shown.text = item.text;
        shown.flags = item.flags;
        shown.command = item.submenu ? 0 : item.command;
        if (item.submenu)
            shown.submenu = snapshot(item.submenu);
        items.push_back(std::move(shown));
    }
    return items;
}

} // namespace

Menu CreatePopupMenu()
{
    return new MenuObject;
}

Bool DestroyMenu(Menu menu)
{
    if (!menu)
        return 0;
    for (auto& item : menu->items)
        if (item.submenu)
            DestroyMenu(item.submenu);
    delete menu;
    return 1;
}

Bool AppendMenuA(Menu menu, uint32_t flags, uintptr_t id, const char* text)
{
    if (!menu)
        return 0;
    MenuObject::Item item{flags, id, std::string(), nullptr};
    if (flags & MF_POPUP)
        item.submenu = reinterpret_cast<Menu>(id);
    if (!(flags & (MF_SEPARATOR | MF_OWNERDRAW)) && text)
        item.text = text; // owner-drawn items carry data, not text
    menu->items.push_back(item);
    return 1;
}

Bool TrackPopupMenu(Menu menu, uint32_t flags, int x, int y, int, Window owner, const WinRect*)
{
    if (!menu || !IsWindow(owner))
        return 0;
    const host::MenuChooser choose = chooserFor(owner);
    const std::vector<host::MenuItem> items = snapshot(menu);
    const host::MenuItem* chosen = choose ? choose(items, WinPoint{x, y}, flags) : nullptr;
    // Only an enabled ordinary item can be chosen.
    if (chosen && !(chosen->flags & (MF_POPUP | MF_SEPARATOR | MF_GRAYED | MF_DISABLED)))
        PostMessageA(owner, WM_COMMAND, chosen->command & 0xFFFF, 0);
    return 1;
}

void host::setMenuChooser(MenuChooser chosen)
{
    chooser().set(std::move(chosen));
}

void host::setMenuChooser(Window topLevel, MenuChooser chosen)
{
    auto choosers = windowChoosers().get();
    if (chosen)
        choosers[topLevel] = std::move(chosen);
    else
        choosers.erase(topLevel);
    windowChoosers().set(std::move(choosers));
}

} // namespace voltara::platform
