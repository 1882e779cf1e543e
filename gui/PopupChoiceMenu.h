#pragma once

#include "gui/PopupEntries.h"
#include "gui/ValueDisplay.h"
#include "platform/PopupMenu.h"

#include <vector>

namespace voltara {

// A list of text entries that shows the current one and, on a click, opens a
// native popup menu (sub-menus, separators, titles, greyed entries, check
// marks) through which the user picks another. The entries' texts carry
// their kind (EntryMarkup.h).
class PopupChoiceMenu : public ValueDisplay {
public:
    enum : int32_t {
        checkStyle = 0x0001,   // each entry has its own check mark, flipped when chosen
        openAtTop = 0x0200,    // the popup opens at the top edge instead of the bottom
        checkCurrent = 0x0400, // the current entry carries a check mark
    };
    static constexpr int32_t maximumEntries = 1024;

    PopupChoiceMenu(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background,
                    GuiBitmap* clickBackground, int32_t style);

    void setValue(float value) override;
    void draw(PaintContext* context) override;
    void mouse(PaintContext* context, Point where) override;
    // Opens the popup and takes the user's choice.
    void gainFocus(PaintContext* context) override;

    // Inserted at the smaller of index and the count, or appended for a negative index.
    virtual bool addEntry(const char* text, int32_t index = -1);
    // Appends "-M" + title; the menu keeps a reference to the sub-menu.
    virtual bool addEntry(PopupChoiceMenu* submenu, const char* title);
    // The current index, counting separators and titles or not; -1 without one.
    virtual int32_t getCurrent(char* text = nullptr, bool countSeparators = true) const;
    virtual bool setCurrent(int32_t index, bool countSeparators = true);
    virtual bool getEntry(int32_t index, char* text) const;
    virtual bool setEntry(int32_t index, const char* text);
    virtual bool removeEntry(int32_t index);
    virtual void clearEntries();
    virtual int32_t getEntryCount() const;
    // The first entry equal to the text, or -1.
    virtual int32_t getIndex(const char* text) const;
    virtual bool setEntryCheck(int32_t index, bool checked);
    virtual bool checkEntryAlone(int32_t index);
    virtual bool isCheckEntry(int32_t index) const;
    virtual void setEntriesPerColumn(int32_t count);
    virtual int32_t getNbItemsPerColumn() const;
    // The object that draws owner-drawn items; never set here.
    virtual void* getScheme() const;

    int32_t getEntryCapacity() const { return entries_.capacity(); }
    int32_t getSubmenuCapacity() const { return int32_t(submenus_.capacity()); }
    int32_t getLastCommand() const { return lastCommand_; }

protected:
    ~PopupChoiceMenu() override;

private:
    bool isEntry(int32_t index) const { return entries_.has(index); }
    // Reserves command numbers from `counter` and builds the native menu.
    platform::Menu build(uintptr_t& counter) const;
    // The menu (this or a sub-menu) that owns a command number, and the local index.
    PopupChoiceMenu* ownerOf(uintptr_t command, uintptr_t& counter, int32_t& local);
    int32_t submenusShown() const;

    platform::Menu menu_ = nullptr;
    PopupEntries entries_;
    std::vector<PopupChoiceMenu*> submenus_; // referenced; grown by ten at a time
    int32_t current_ = -1;
    GuiBitmap* clickBackground_;
    int32_t lastButtons_ = 0;
    int32_t itemsPerColumn_ = -1;
    int32_t lastCommand_ = -1;
    void* scheme_ = nullptr;
};

} // namespace voltara
