#pragma once

#include "gui/Control.h"

namespace voltara {

// Shows its value as text over a background bitmap or a filled rectangle;
// the text comes from a hook the owner installs, else "%2.2f".
class ValueDisplay : public Control {
public:
    // Style bits.
    enum : int32_t {
        shadowText = 0x0004,    // the text first in the shadow colour, one pixel right and down
        frame3dRaised = 0x0080, // top and left in the back colour, bottom and right in the frame colour
        frame3dSunken = 0x0100, // top and left in the frame colour, bottom and right in the back colour
        noText = 0x0800,
        noDrawing = 0x1000, // nothing is drawn
    };
    using TextHook = void (*)(float value, char* text);
    using TextHookWithData = void (*)(float value, char* text, void* userData);
    using ValueHook = void (*)(char* text, float& value, void* userData);

    ValueDisplay(const Rect& size, GuiBitmap* background, int32_t style);

    void draw(PaintContext* context) override;

    // Each setter marks the display dirty only when it changes something.
    virtual void setFont(int32_t id);
    virtual void setFontColour(Colour colour);
    virtual void setBackColour(Colour colour);
    virtual void setFrameColour(Colour colour);
    virtual void setShadowColour(Colour colour);
    // 0 left, 1 centred, 2 right.
    virtual void setTextAlignment(int32_t alignment);
    // Where the background is read from.
    virtual void setBackgroundOffset(Point offset);
    virtual void setTextFormatter(TextHookWithData hook, void* userData);
    virtual void setTextFormatter(TextHook hook);
    virtual void setTextToValueHook(ValueHook hook);
    virtual void setStyle(int32_t style);
    // Font style bits: 1 bold, 2 italic, 4 underline.
    virtual void setTextFace(int32_t face);
    virtual void setTextTransparent(bool transparent);

    int32_t getStyle() const { return style_; }

protected:
    // Draws text over the background, or over the given one instead.
    void drawText(PaintContext* context, const char* text, GuiBitmap* alternative);

    TextHook textHook_ = nullptr;
    TextHookWithData textHookWithData_ = nullptr;
    ValueHook valueHook_ = nullptr;
    void* userData_ = nullptr;
    int32_t alignment_ = 1;
    int32_t style_;
    int32_t fontId_ = 3;
    int32_t textFace_ = 0;
    Colour fontColour_ = colours::white;
    Colour backColour_ = colours::black;
    Colour frameColour_ = colours::black;
    Colour shadowColour_ = colours::red;
    Point backgroundOffset_;
    bool textTransparent_ = true;
};

} // namespace voltara
