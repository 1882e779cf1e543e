#include "gui/PaintContext.h"

#include "platform/Input.h"
#include "platform/Window.h"

#include <initializer_list>

namespace voltara {

using namespace platform;

const FontEntry fontTable[fontCount] = {
    {12, "Arial", true, false},  {18, "Arial", false, false}, {14, "Arial", false, false}, {12, "Arial", false, false},
    {11, "Arial", false, false}, {10, "Arial", false, false}, {9, "Arial", false, false},  {13, "Symbol", false, true},
};

PaintContext::PaintContext(Frame* frame, DeviceContext dc, platform::Window window)
    : dc_(dc), window_(window), frame_(frame)
{
    if (window) {
        platform::WinRect rect;
        if (GetWindowRect(window, &rect))
            windowOrigin_ = {rect.left, rect.top};
    }
    if (dc) {
        oldBrush_ = GetCurrentObject(dc, OBJ_BRUSH);
        oldPen_ = GetCurrentObject(dc, OBJ_PEN);
        oldFont_ = GetCurrentObject(dc, OBJ_FONT);
        SetBkMode(dc, TRANSPARENT);
        setFrameColour(frameColour_);
        setLineStyle(lineStyle_);
        setFillColour(fillColour_);
        setFontColour(fontColour_);
    }
}

PaintContext::~PaintContext()
{
    if (dc_) {
        SelectObject(dc_, oldBrush_);
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldFont_);
    }
    for (GdiObject own : {brush_, pen_, font_})
        if (own)
            DeleteObject(own);
}

void PaintContext::makePen()
{
    GdiObject pen = CreatePen(penStyle_, lineWidth_, toColourRef(frameColour_));
    if (!pen)
        return;
    SelectObject(dc_, pen);
    if (pen_)
        DeleteObject(pen_);
    pen_ = pen;
}

void PaintContext::setFrameColour(Colour colour)
{
    frameColour_ = colour;
    makePen();
}

void PaintContext::setLineStyle(int32_t style)
{
    lineStyle_ = style;
    penStyle_ = style == 1 ? PS_DOT : PS_SOLID;
    makePen();
}

void PaintContext::setFillColour(Colour colour)
{
    fillColour_ = colour;
    SetBkColor(dc_, toColourRef(colour));
    const LogBrush record{BS_SOLID, toColourRef(colour), 0};
    GdiObject brush = CreateBrushIndirect(&record);
    if (!brush)
        return; // the old brush stays
    SelectObject(dc_, brush);
    if (brush_)
        DeleteObject(brush_);
    brush_ = brush;
}

void PaintContext::setFontColour(Colour colour)
{
    fontColour_ = colour;
    SetTextColor(dc_, toColourRef(colour));
}

void PaintContext::setFont(int32_t id, int32_t size, int32_t style)
{
    if (id < 0 || id >= fontCount)
        id = 0;
    const FontEntry& entry = fontTable[id];
    fontId_ = id;
    fontSize_ = size == 0 ? entry.size : size;
    const bool bold = entry.alwaysBold || (style & 1);
    const uint32_t pitchAndFamily = entry.decorative ? FF_DECORATIVE | DEFAULT_PITCH : VARIABLE_PITCH | FF_SWISS;
    GdiObject font =
        CreateFontA(-fontSize_, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, (style & 2) ? 1 : 0, (style & 4) ? 1 : 0, 0,
                    ANSI_CHARSET, OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, DEFAULT_QUALITY, pitchAndFamily, entry.face);
    if (!font)
        return;
    SelectObject(dc_, font);
    if (font_)
        DeleteObject(font_);
    font_ = font;
}

void PaintContext::moveTo(Point point)
{
    MoveToEx(dc_, point.h + offset_.h, point.v + offset_.v, nullptr);
}

void PaintContext::lineTo(Point point)
{
    LineTo(dc_, point.h + offset_.h, point.v + offset_.v);
}

void PaintContext::drawArea(const Rect& rect)
{
    moveTo({rect.left, rect.top});
    lineTo({rect.right, rect.top});
    lineTo({rect.right, rect.bottom});
    lineTo({rect.left, rect.bottom});
    lineTo({rect.left, rect.top});
}

void PaintContext::fillRect(const Rect& rect)
{
    const platform::WinRect inside{rect.left + 1 + offset_.h, rect.top + 1 + offset_.v, rect.right + offset_.h,
                                   rect.bottom + offset_.v};
    GdiObject pen = SelectObject(dc_, GetStockObject(NULL_PEN));
    FillRect(dc_, &inside, brush_);
    SelectObject(dc_, pen);
}

void PaintContext::drawString(const char* text, const Rect& rect, bool opaque, int32_t alignment)
{
    SetBkMode(dc_, opaque ? OPAQUE : TRANSPARENT);
    platform::WinRect area{rect.left + offset_.h, rect.top + offset_.v, rect.right + offset_.h,
                           rect.bottom + offset_.v};
    uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (alignment == 1) {
        format |= DT_CENTER;
    } else if (alignment == 2) {
        format |= DT_RIGHT;
    } else {
        format |= DT_LEFT;
        area.left += 1;
    }
    DrawTextA(dc_, text, -1, &area, format);
    SetBkMode(dc_, TRANSPARENT);
}

int32_t PaintContext::queryMouseButtons() const
{
    struct Key {
        int virtualKey;
        int32_t flag;
    };
    static const Key keys[] = {{VK_LBUTTON, mouseLeft}, {VK_MBUTTON, mouseMiddle},  {VK_RBUTTON, mouseRight},
                               {VK_SHIFT, mouseShift},  {VK_CONTROL, mouseControl}, {VK_MENU, mouseAlt}};
    int32_t state = 0;
    for (const Key& key : keys)
        if (GetAsyncKeyState(key.virtualKey) < 0)
            state |= key.flag;
    return state;
}

void PaintContext::queryMousePosition(Point& point) const
{
    platform::WinPoint cursor{0, 0};
    GetCursorPos(&cursor);
    point = {cursor.x - windowOrigin_.h, cursor.y - windowOrigin_.v};
}

} // namespace voltara
