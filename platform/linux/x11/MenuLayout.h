#pragma once

#include "platform/linux/Host.h"

#include <vector>

// A popup menu's look: where each entry lies (in columns where the menu
// breaks), and its painting through the window system's drawing calls, in
// the light style of the desktop's own menus: ticks for checked entries,
// greyed text for greyed ones, an arrow for sub-menus, separators.

namespace voltara::platform::x11 {

class VOLTARA_PLATFORM_API MenuLayout {
public:
    struct Entry {
        const host::MenuItem* item;
        WinRect rect; // menu coordinates
        bool selectable;
    };

    // Measured with the menu's font.
    explicit MenuLayout(const std::vector<host::MenuItem>& items);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<Entry>& entries() const { return entries_; }
    // The entry under a point of the menu, or -1.
    int entryAt(int x, int y) const;
    // The next selectable entry after `from` in the direction given (+1 or
    // -1), round the end; -1 when there is none.
    int nextSelectable(int from, int direction) const;
    // Paints the menu with one entry highlighted (-1: none).
    void paint(DeviceContext dc, int highlighted) const;

private:
    std::vector<Entry> entries_;
    std::vector<int> columnBars_; // x of the line before each column that follows a bar break
    int width_ = 0;
    int height_ = 0;
};

} // namespace voltara::platform::x11
