#include "gui/PopupChoiceMenu.h"

#include "gui/EntryMarkup.h"
#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"

#include <cstring>
#include <new>

namespace voltara {

using namespace platform;

namespace {

constexpr std::size_t submenuGrowth = 10; // sub-menus

} // namespace

PopupChoiceMenu::PopupChoiceMenu(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background,
                                 GuiBitmap* clickBackground, int32_t style)
    : ValueDisplay(size, background, style), clickBackground_(clickBackground)
{
    listener_ = listener;
    tag_ = tag;
    if (clickBackground_)
        clickBackground_->addReference();
}

PopupChoiceMenu::~PopupChoiceMenu()
{
    clearEntries();
    if (clickBackground_)
        clickBackground_->dropReference();
}

bool PopupChoiceMenu::addEntry(const char* text, int32_t index)
{
    if (entries_.count() >= maximumEntries)
        return false;
    const int32_t count = entries_.count();
    const int32_t at = index >= 0 && index < count ? index : count;
    if (!entries_.insert(at, text))
        return false;
    if (index >= 0 && current_ >= at)
        ++current_;
    if (current_ < 0)
        current_ = 0;
    return true;
}

bool PopupChoiceMenu::addEntry(PopupChoiceMenu* submenu, const char* title)
{
    if (entries_.count() >= maximumEntries || !submenu || !title)
        return false;
    try {
        if (submenus_.size() == submenus_.capacity())
            submenus_.reserve(submenus_.capacity() + submenuGrowth);
    } catch (const std::bad_alloc&) {
        return false;
    }
    char text[PopupEntries::longestText + 3] = "-M";
    std::strncat(text, title, PopupEntries::longestText - 2);
    if (!addEntry(text))
        return false;
    submenus_.push_back(submenu);
    submenu->addReference();
    return true;
}

int32_t PopupChoiceMenu::getCurrent(char* text, bool countSeparators) const
{
    if (!isEntry(current_))
        return -1;
    if (text)
        std::strcpy(text, entries_.text(current_));
    if (countSeparators)
        return current_;
    int32_t counted = 0;
    for (int32_t i = 0; i < current_; ++i)
        counted += EntryMarkup::counted(entries_.text(i));
    return counted;
}

bool PopupChoiceMenu::setCurrent(int32_t index, bool countSeparators)
{
    if (countSeparators) {
        if (!isEntry(index) || EntryMarkup::separator(entries_.text(index)))
            return false;
        current_ = index;
    } else if (index < 0) {
        current_ = -1;
    } else {
        // The (index + 1)-th counted entry, or the last entry when there are fewer.
        int32_t found = entries_.count() - 1;
        for (int32_t i = 0, counted = 0; i < entries_.count(); ++i)
            if (EntryMarkup::counted(entries_.text(i)) && counted++ == index) {
                found = i;
                break;
            }
        current_ = found;
    }
    setDirty(true);
    return true;
}

void PopupChoiceMenu::setValue(float value)
{
    if (!(value > -1.0f && value < float(entries_.count())))
        return; // outside the entries (or not a number)
    const int32_t index = static_cast<int32_t>(value);
    if (!isEntry(index))
        return;
    current_ = index;
    if (style_ & checkStyle)
        entries_.setChecked(index, !entries_.checked(index));
    value_ = value;
    setDirty(true);
}

bool PopupChoiceMenu::getEntry(int32_t index, char* text) const
{
    if (!isEntry(index) || !text)
        return false;
    std::strcpy(text, entries_.text(index));
    return true;
}

bool PopupChoiceMenu::setEntry(int32_t index, const char* text)
{
    if (!isEntry(index))
        return false;
    entries_.setText(index, text);
    return true;
}

bool PopupChoiceMenu::removeEntry(int32_t index)
{
    if (!isEntry(index))
        return false;
    entries_.remove(index);
    if (current_ >= index)
        --current_;
    if (entries_.count() == 0)
        current_ = -1;
    return true;
}

void PopupChoiceMenu::clearEntries()
{
    for (PopupChoiceMenu* submenu : submenus_)
        submenu->dropReference();
    entries_.clear();
    std::vector<PopupChoiceMenu*>().swap(submenus_); // the storage goes too
    current_ = -1;
}

int32_t PopupChoiceMenu::getEntryCount() const
{
    return entries_.count();
}

int32_t PopupChoiceMenu::getIndex(const char* text) const
{
    for (int32_t i = 0; text && i < entries_.count(); ++i)
        if (std::strcmp(entries_.text(i), text) == 0)
            return i;
    return -1;
}

bool PopupChoiceMenu::setEntryCheck(int32_t index, bool checked)
{
    if (!isEntry(index))
        return false;
    entries_.setChecked(index, checked);
    return true;
}

bool PopupChoiceMenu::checkEntryAlone(int32_t index)
{
    if (!isEntry(index))
        return false;
    for (int32_t i = 0; i < entries_.count(); ++i)
        entries_.setChecked(i, false);
    entries_.setChecked(index, true);
    return true;
}

bool PopupChoiceMenu::isCheckEntry(int32_t index) const
{
    return isEntry(index) && entries_.checked(index);
}

void PopupChoiceMenu::setEntriesPerColumn(int32_t count)
{
    itemsPerColumn_ = count;
}

int32_t PopupChoiceMenu::getNbItemsPerColumn() const
{
    return itemsPerColumn_;
}

void* PopupChoiceMenu::getScheme() const
{
    return scheme_;
}

void PopupChoiceMenu::draw(PaintContext* context)
{
    if (isEntry(current_))
        drawText(context, entries_.text(current_), nullptr);
    else
        setDirty(false);
}

} // namespace voltara
