#include "gui/PopupChoiceMenu.h"

#include "gui/EntryMarkup.h"

// The native popup menu built from the entries, and the entry behind a
// command number it answers with.

namespace voltara {

using namespace platform;

int32_t PopupChoiceMenu::submenusShown() const
{
    int32_t shown = 0;
    for (int32_t i = 0; i < entries_.count(); ++i)
        shown += EntryMarkup::submenu(entries_.text(i));
    return shown < int32_t(submenus_.size()) ? shown : int32_t(submenus_.size());
}

Menu PopupChoiceMenu::build(uintptr_t& counter) const
{
    const uintptr_t first = counter;
    counter += uintptr_t(entries_.count());
    Menu menu = CreatePopupMenu();
    int32_t submenu = 0;
    uintptr_t appended = 0;
    for (int32_t i = 0; i < entries_.count(); ++i) {
        const char* text = entries_.text(i);
        if (EntryMarkup::separator(text)) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            ++appended;
            continue;
        }
        uint32_t flags = 0;
        if (entries_.count() < 160 && itemsPerColumn_ >= 1 && appended != 0
            && appended % uintptr_t(itemsPerColumn_) == 0)
            flags |= MF_MENUBARBREAK;
        if (scheme_)
            flags |= MF_OWNERDRAW;
        if (EntryMarkup::submenu(text)) {
            if (submenu >= int32_t(submenus_.size()))
                continue; // no sub-menu left for it: left out
            Menu inner = submenus_[std::size_t(submenu++)]->build(counter);
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<uintptr_t>(inner), EntryMarkup::label(text));
        } else if (EntryMarkup::greyed(text)) {
            AppendMenuA(menu, flags | MF_GRAYED, first + appended, EntryMarkup::label(text));
        } else if (EntryMarkup::title(text)) {
            AppendMenuA(menu, flags | MF_DISABLED, first + appended, EntryMarkup::label(text));
        } else {
            const bool checked = (style_ & checkStyle) ? entries_.checked(i) : (style_ & checkCurrent) && i == current_;
            AppendMenuA(menu, flags | (checked ? MF_CHECKED : 0), first + appended, text);
        }
        ++appended;
    }
    return menu;
}

PopupChoiceMenu* PopupChoiceMenu::ownerOf(uintptr_t command, uintptr_t& counter, int32_t& local)
{
    const uintptr_t first = counter;
    counter += uintptr_t(entries_.count());
    if (command >= first && command < first + uintptr_t(entries_.count())) {
        local = int32_t(command - first);
        return this;
    }
    for (int32_t i = 0; i < submenusShown(); ++i)
        if (PopupChoiceMenu* owner = submenus_[std::size_t(i)]->ownerOf(command, counter, local))
            return owner;
    return nullptr;
}

} // namespace voltara
