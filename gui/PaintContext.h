#pragma once

#include "gui/GuiTypes.h"
#include "platform/Gdi.h"

namespace voltara {

class Frame;

// The fixed font table: a font id picks size, face and family.
struct FontEntry {
    int32_t size; // pixels
    const char* face;
    bool alwaysBold;
    bool decorative;
};
constexpr int32_t fontCount = 8;
extern const FontEntry fontTable[fontCount];

// Drawing state bound to one device context for one drawing pass. Every
// operation makes one GDI call, with the context's offset added.
// [window thread]
class PaintContext {
public:
    PaintContext(Frame* frame, platform::DeviceContext dc, platform::Window window);
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;
    virtual ~PaintContext();

    void setFrameColour(Colour colour);
    // 1: dotted; anything else: solid.
    void setLineStyle(int32_t style);
    void setFillColour(Colour colour);
    void setFontColour(Colour colour);
    // style bits: 1 bold, 2 italic, 4 underline; size 0: the table's size.
    void setFont(int32_t id, int32_t size = 0, int32_t style = 0);

    void moveTo(Point point);
    void lineTo(Point point);
    // The outline through the four corners, right and bottom included.
    void drawArea(const Rect& rect);
    // The inside of the outline: row top and column left stay untouched.
    void fillRect(const Rect& rect);
    // alignment: 0 left (one pixel in), 1 centred, 2 right.
    void drawString(const char* text, const Rect& rect, bool opaque, int32_t alignment);

    int32_t queryMouseButtons() const;
    void queryMousePosition(Point& point) const;

    platform::DeviceContext systemContext() const { return dc_; }
    platform::Window window() const { return window_; }
    Frame* frame() const { return frame_; }
    Point offset() const { return offset_; }
    Point windowOrigin() const { return windowOrigin_; }
    int32_t fontSize() const { return fontSize_; }
    int32_t fontId() const { return fontId_; }
    Colour fontColour() const { return fontColour_; }
    Colour frameColour() const { return frameColour_; }
    Colour fillColour() const { return fillColour_; }

private:
    void makePen();

    Point windowOrigin_;
    Point offset_;
    platform::DeviceContext dc_;
    platform::Window window_;
    Frame* frame_;
    int32_t fontSize_ = 0;
    int32_t fontId_ = 0;
    Colour fontColour_ = colours::white;
    int32_t lineWidth_ = 1;
    Colour frameColour_ = colours::white;
    Colour fillColour_ = colours::black;
    int32_t lineStyle_ = 0;
    platform::GdiObject brush_ = nullptr;
    platform::GdiObject pen_ = nullptr;
    platform::GdiObject font_ = nullptr;
    platform::GdiObject oldBrush_ = nullptr;
    platform::GdiObject oldPen_ = nullptr;
    platform::GdiObject oldFont_ = nullptr;
    int32_t penStyle_ = platform::PS_SOLID;
};

} // namespace voltara
