#include "gui/PopupChoiceMenu.h"

#include "gui/Frame.h"
#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"
#include "platform/Window.h"

#include <cstdlib>
#include <cstring>

namespace voltara {

using namespace platform;

namespace {

constexpr size_t textSize = 256; // 255 characters and the terminator

bool startsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool isSeparator(const char* text)
{
    return std::strcmp(text, "-") == 0;
}

// Neither a separator nor a title: what counts when separators are not counted.
bool isCounted(const char* text)
{
    return !isSeparator(text) && !startsWith(text, "-T");
}

void copyText(char* to, const char* from)
{
    std::strncpy(to, from ? from : "", textSize - 1);
    to[textSize - 1] = '\0';
}

template <typename T>
bool grow(T*& array, int32_t& capacity, int32_t step)
{
    auto* grown = static_cast<T*>(std::realloc(array, sizeof(T) * size_t(capacity + step)));
    if (!grown)
        return false;
    array = grown;
    capacity += step;
    return true;
}

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
    if (entryCount_ >= maximumEntries)
        return false;
    if (entryCount_ == entryCapacity_) {
        int32_t checkCapacity = entryCapacity_;
        if (!grow(checks_, checkCapacity, 32) || !grow(texts_, entryCapacity_, 32))
            return false;
    }
    char* entry = static_cast<char*>(std::malloc(textSize));
    if (!entry)
        return false;
    copyText(entry, text);
    int32_t at = entryCount_;
    if (index >= 0) {
        at = index < entryCount_ ? index : entryCount_;
        std::memmove(texts_ + at + 1, texts_ + at, sizeof(char*) * size_t(entryCount_ - at));
        std::memmove(checks_ + at + 1, checks_ + at, sizeof(bool) * size_t(entryCount_ - at));
        if (current_ >= at)
            ++current_;
    }
    texts_[at] = entry;
    checks_[at] = false;
    ++entryCount_;
    if (current_ < 0)
        current_ = 0;
    return true;
}

bool PopupChoiceMenu::addEntry(PopupChoiceMenu* submenu, const char* title)
{
    if (entryCount_ >= maximumEntries || !submenu || !title)
        return false;
    if (submenuCount_ == submenuCapacity_ && !grow(submenus_, submenuCapacity_, 10))
        return false;
    char text[textSize + 2] = "-M";
    std::strncat(text, title, textSize - 3);
    if (!addEntry(text))
        return false;
    submenus_[submenuCount_++] = submenu;
    submenu->addReference();
    return true;
}

int32_t PopupChoiceMenu::getCurrent(char* text, bool countSeparators) const
{
    if (!isEntry(current_))
        return -1;
    if (text)
        std::strcpy(text, texts_[current_]);
    if (countSeparators)
        return current_;
    int32_t counted = 0;
    for (int32_t i = 0; i < current_; ++i)
        counted += isCounted(texts_[i]);
    return counted;
}

bool PopupChoiceMenu::setCurrent(int32_t index, bool countSeparators)
{
    if (countSeparators) {
        if (!isEntry(index) || isSeparator(texts_[index]))
            return false;
        current_ = index;
    } else if (index < 0) {
        current_ = -1;
    } else {
        // The (index + 1)-th counted entry, or the last entry when there are fewer.
        int32_t found = entryCount_ - 1;
        for (int32_t i = 0, counted = 0; i < entryCount_; ++i)
            if (isCounted(texts_[i]) && counted++ == index) {
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
    if (!(value > -1.0f && value < float(entryCount_)))
        return; // outside the entries (or not a number)
    const int32_t index = static_cast<int32_t>(value);
    if (!isEntry(index))
        return;
    current_ = index;
    if (style_ & checkStyle)
        checks_[index] = !checks_[index];
    value_ = value;
    setDirty(true);
}

bool PopupChoiceMenu::getEntry(int32_t index, char* text) const
{
    if (!isEntry(index) || !text)
        return false;
    std::strcpy(text, texts_[index]);
    return true;
}

bool PopupChoiceMenu::setEntry(int32_t index, const char* text)
{
    if (!isEntry(index))
        return false;
    copyText(texts_[index], text);
    return true;
}

bool PopupChoiceMenu::removeEntry(int32_t index)
{
    if (!isEntry(index))
        return false;
    std::free(texts_[index]);
    std::memmove(texts_ + index, texts_ + index + 1, sizeof(char*) * size_t(entryCount_ - index - 1));
    std::memmove(checks_ + index, checks_ + index + 1, sizeof(bool) * size_t(entryCount_ - index - 1));
    --entryCount_;
    if (current_ >= index)
        --current_;
    if (entryCount_ == 0)
        current_ = -1;
    return true;
}

void PopupChoiceMenu::clearEntries()
{
    for (int32_t i = 0; i < entryCount_; ++i)
        std::free(texts_[i]);
    for (int32_t i = 0; i < submenuCount_; ++i)
        submenus_[i]->dropReference();
    std::free(texts_);
    std::free(checks_);
    std::free(submenus_);
    texts_ = nullptr;
    checks_ = nullptr;
    submenus_ = nullptr;
    entryCount_ = submenuCount_ = entryCapacity_ = submenuCapacity_ = 0;
    current_ = -1;
}

int32_t PopupChoiceMenu::getEntryCount() const
{
    return entryCount_;
}

int32_t PopupChoiceMenu::getIndex(const char* text) const
{
    for (int32_t i = 0; text && i < entryCount_; ++i)
        if (std::strcmp(texts_[i], text) == 0)
            return i;
    return -1;
}

bool PopupChoiceMenu::setEntryCheck(int32_t index, bool checked)
{
    if (!isEntry(index))
        return false;
    checks_[index] = checked;
    return true;
}

bool PopupChoiceMenu::checkEntryAlone(int32_t index)
{
    if (!isEntry(index))
        return false;
    for (int32_t i = 0; i < entryCount_; ++i)
        checks_[i] = false;
    checks_[index] = true;
    return true;
}

bool PopupChoiceMenu::isCheckEntry(int32_t index) const
{
    return isEntry(index) && checks_[index];
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
        drawText(context, texts_[current_], nullptr);
    else
        setDirty(false);
}

void PopupChoiceMenu::mouse(PaintContext* context, Point)
{
    if (!frame_ || !context)
        return;
    lastButtons_ = context->queryMouseButtons();
    if (!(lastButtons_ & (mouseLeft | mouseRight)))
        return;
    if (clickBackground_ && isEntry(current_))
        drawText(context, texts_[current_], clickBackground_);
    frame_->setFocusView(this);
    gainFocus(context);
}

int32_t PopupChoiceMenu::submenusShown() const
{
    int32_t shown = 0;
    for (int32_t i = 0; i < entryCount_; ++i)
        shown += startsWith(texts_[i], "-M");
    return shown < submenuCount_ ? shown : submenuCount_;
}

Menu PopupChoiceMenu::build(uintptr_t& counter) const
{
    const uintptr_t first = counter;
    counter += uintptr_t(entryCount_);
    Menu menu = CreatePopupMenu();
    int32_t submenu = 0;
    uintptr_t appended = 0;
    for (int32_t i = 0; i < entryCount_; ++i) {
        const char* text = texts_[i];
        if (isSeparator(text)) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            ++appended;
            continue;
        }
        uint32_t flags = 0;
        if (entryCount_ < 160 && itemsPerColumn_ >= 1 && appended != 0 && appended % uintptr_t(itemsPerColumn_) == 0)
            flags |= MF_MENUBARBREAK;
        if (scheme_)
            flags |= MF_OWNERDRAW;
        if (startsWith(text, "-M")) {
            if (submenu >= submenuCount_)
                continue; // no sub-menu left for it: left out
            Menu inner = submenus_[submenu++]->build(counter);
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<uintptr_t>(inner), text + 2);
        } else if (startsWith(text, "-G")) {
            AppendMenuA(menu, flags | MF_GRAYED, first + appended, text + 2);
        } else if (startsWith(text, "-T")) {
            AppendMenuA(menu, flags | MF_DISABLED, first + appended, text + 2);
        } else {
            const bool checked = (style_ & checkStyle) ? checks_[i] : (style_ & checkCurrent) && i == current_;
            AppendMenuA(menu, flags | (checked ? MF_CHECKED : 0), first + appended, text);
        }
        ++appended;
    }
    return menu;
}

PopupChoiceMenu* PopupChoiceMenu::ownerOf(uintptr_t command, uintptr_t& counter, int32_t& local)
{
    const uintptr_t first = counter;
    counter += uintptr_t(entryCount_);
    if (command >= first && command < first + uintptr_t(entryCount_)) {
        local = int32_t(command - first);
        return this;
    }
    for (int32_t i = 0; i < submenusShown(); ++i)
        if (PopupChoiceMenu* owner = submenus_[i]->ownerOf(command, counter, local))
            return owner;
    return nullptr;
}

void PopupChoiceMenu::gainFocus(PaintContext* context)
{
    if (!frame_)
        return;
    lastCommand_ = -1;
    platform::Window window = frame_->getSystemWindow();
    Point origin;
    if (context) {
        origin = context->windowOrigin();
    } else {
        WinRect rect{0, 0, 0, 0};
        GetWindowRect(window, &rect);
        origin = {rect.left, rect.top};
    }
    uintptr_t counter = 0;
    menu_ = build(counter);
    const int32_t y = (style_ & openAtTop) ? size_.top : size_.bottom;
    const bool shown = TrackPopupMenu(menu_, (lastButtons_ & mouseRight) ? TPM_RIGHTBUTTON : 0, size_.left + origin.h,
                                      y + origin.v, 0, window, nullptr);
    int32_t choice = -1;
    if (shown) {
        Message message;
        if (PeekMessageA(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) && message.wParam < 0x10000) {
            choice = int32_t(message.wParam);
            lastCommand_ = choice;
        }
        // The click that closed the menu must not reach a control.
        for (int i = 0; i < 2; ++i)
            PeekMessageA(&message, window, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE);
    }
    DestroyMenu(menu_);
    menu_ = nullptr;
    frame_->setFocusView(nullptr);
    if (choice < 0 && !clickBackground_)
        return;
    if (choice >= 0) {
        uintptr_t numbers = 0;
        int32_t local = 0;
        if (PopupChoiceMenu* owner = ownerOf(uintptr_t(choice), numbers, local)) {
            owner->setValue(float(local));
            if (listener_)
                listener_->onControlChange(context, owner);
        }
    }
    runIdleWork();
    setDirty(false);
}

} // namespace voltara
