#include "platform/linux/x11/MenuLayout.h"

#include "platform/Gdi.h"
#include "platform/PopupMenu.h"

#include <algorithm>

namespace voltara::platform::x11 {
namespace {

constexpr int fontPixels = 12;  // em height
constexpr int entryHeight = 22; // pixels
constexpr int separatorHeight = 9;
constexpr int border = 1;
constexpr int inset = 2;        // between the border and the entries
constexpr int tickColumn = 24;  // left of the text: the tick's place
constexpr int textPadding = 20; // right of the text
constexpr int arrowColumn = 14; // right of the text of a menu with sub-menus
constexpr int barGap = 5;       // between columns split by a bar

constexpr ColourRef face = rgb(242, 242, 242);
constexpr ColourRef frame = rgb(150, 150, 150);
constexpr ColourRef highlight = rgb(145, 201, 247);
constexpr ColourRef text = rgb(0, 0, 0);
constexpr ColourRef greyedText = rgb(109, 109, 109);
constexpr ColourRef rule = rgb(205, 205, 205);

GdiObject menuFont()
{
    return CreateFontA(-fontPixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_STRING_PRECIS, CLIP_STROKE_PRECIS,
                       DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

bool isSeparator(const host::MenuItem& item)
{
    return item.flags & MF_SEPARATOR;
}

void line(DeviceContext dc, int x0, int y0, int x1, int y1)
{
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void fill(DeviceContext dc, const WinRect& area, ColourRef colour)
{
    GdiObject brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

} // namespace

MenuLayout::MenuLayout(const std::vector<host::MenuItem>& items)
{
    bool anySubmenu = false;
    for (const host::MenuItem& item : items)
        anySubmenu = anySubmenu || (item.flags & MF_POPUP);
    DeviceContext measure = CreateCompatibleDC(nullptr);
    GdiObject font = menuFont();
    GdiObject before = SelectObject(measure, font);

    int x = border + inset, y = border + inset, columnWidth = 0, bottom = y;
    size_t columnStart = 0;
    auto closeColumn = [&]() {
        for (size_t i = columnStart; i < entries_.size(); ++i)
            entries_[i].rect.right = entries_[i].rect.left + columnWidth;
        x += columnWidth;
        columnWidth = 0;
        columnStart = entries_.size();
    };
    for (const host::MenuItem& item : items) {
        if (!entries_.empty() && (item.flags & (MF_MENUBREAK | MF_MENUBARBREAK))) {
            closeColumn();
            if (item.flags & MF_MENUBARBREAK) {
                columnBars_.push_back(x + barGap / 2);
                x += barGap;
            }
            y = border + inset;
        }
        WinRect measured{0, 0, 0, 0};
        if (!isSeparator(item))
            DrawTextA(measure, item.text.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        const int height = isSeparator(item) ? separatorHeight : entryHeight;
        columnWidth = std::max(columnWidth, tickColumn + int(measured.right - measured.left) + textPadding
                                                + (anySubmenu ? arrowColumn : 0));
        const bool selectable = !isSeparator(item) && !(item.flags & (MF_GRAYED | MF_DISABLED));
        entries_.push_back({&item, {x, y, x, y + height}, selectable});
        y += height;
        bottom = std::max(bottom, y);
    }
    closeColumn();
    width_ = x + inset + border;
    height_ = bottom + inset + border;
    SelectObject(measure, before);
    DeleteObject(font);
    DeleteDC(measure);
}

int MenuLayout::entryAt(int x, int y) const
{
    for (size_t i = 0; i < entries_.size(); ++i) {
        const WinRect& r = entries_[i].rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return int(i);
    }
    return -1;
}

int MenuLayout::nextSelectable(int from, int direction) const
{
    const int count = int(entries_.size());
    int i = from;
    for (int step = 0; step < count; ++step) {
        i = i < 0 ? (direction > 0 ? 0 : count - 1) : (i + direction + count) % count;
        if (entries_[size_t(i)].selectable)
            return i;
    }
    return -1;
}

void MenuLayout::paint(DeviceContext dc, int highlighted) const
{
    fill(dc, {0, 0, width_, height_}, face);
    GdiObject framePen = CreatePen(PS_SOLID, 1, frame);
    GdiObject rulePen = CreatePen(PS_SOLID, 1, rule);
    GdiObject inkPen = CreatePen(PS_SOLID, 1, text);
    GdiObject penBefore = SelectObject(dc, framePen);
    line(dc, 0, 0, width_ - 1, 0);
    line(dc, width_ - 1, 0, width_ - 1, height_ - 1);
    line(dc, width_ - 1, height_ - 1, 0, height_ - 1);
    line(dc, 0, height_ - 1, 0, 0);
    SelectObject(dc, rulePen);
    for (int bar : columnBars_)
        line(dc, bar, border + inset, bar, height_ - border - inset);

    GdiObject font = menuFont();
    GdiObject fontBefore = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        const WinRect& r = entry.rect;
        if (isSeparator(*entry.item)) {
            SelectObject(dc, rulePen);
            const int middle = (r.top + r.bottom) / 2;
            line(dc, r.left + tickColumn, middle, r.right - 4, middle);
            continue;
        }
        if (int(i) == highlighted && entry.selectable)
            fill(dc, r, highlight);
        const bool greyed = entry.item->flags & MF_GRAYED;
        SetTextColor(dc, greyed ? greyedText : text);
        WinRect place{r.left + tickColumn, r.top, r.right, r.bottom};
        DrawTextA(dc, entry.item->text.c_str(), -1, &place, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, inkPen);
        if (entry.item->flags & MF_CHECKED) {
            // A tick, two pixels thick.
            const int x = r.left + 8, y = r.top + entryHeight / 2;
            for (int thick = 0; thick < 2; ++thick) {
                line(dc, x, y + thick - 1, x + 3, y + thick + 2);
                line(dc, x + 3, y + thick + 2, x + 9, y + thick - 4);
            }
        }
        if (entry.item->flags & MF_POPUP) {
            // An arrow pointing to the sub-menu.
            const int x = r.right - arrowColumn + 3, y = (r.top + r.bottom) / 2;
            for (int step = 0; step < 4; ++step)
                line(dc, x + step, y - 3 + step, x + step, y + 4 - step);
        }
    }
    SelectObject(dc, fontBefore);
    SelectObject(dc, penBefore);
    DeleteObject(font);
    DeleteObject(framePen);
    DeleteObject(rulePen);
    DeleteObject(inkPen);
}

} // namespace voltara::platform::x11
