#include "gui/ValueDisplay.h"

#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"

#include <cstdio>

namespace voltara {

namespace {

template <typename T>
void change(ValueDisplay& display, T& field, T value)
{
    if (field != value) {
        field = value;
        display.setDirty(true);
    }
}

void changeColour(ValueDisplay& display, Colour& field, Colour value)
{
    if (!sameColour(field, value)) {
        field = value;
        display.setDirty(true);
    }
}

} // namespace

ValueDisplay::ValueDisplay(const Rect& size, GuiBitmap* background, int32_t style)
    : Control(size, nullptr, 0, background), style_(style)
{
    if (style_ & noDrawing)
        setDirty(false);
}

void ValueDisplay::draw(PaintContext* context)
{
    char text[256] = "";
    if (textHookWithData_)
        textHookWithData_(value_, text, userData_);
    else if (textHook_)
        textHook_(value_, text);
    else
        std::snprintf(text, sizeof text, "%2.2f", double(value_));
    text[255] = '\0';
    drawText(context, text, nullptr);
}

void ValueDisplay::drawText(PaintContext* context, const char* text, GuiBitmap* alternative)
{
    setDirty(false);
    if (style_ & noDrawing)
        return;
    GuiBitmap* background = alternative ? alternative : background_;
    const bool threeD = (style_ & (frame3dRaised | frame3dSunken)) != 0;
    if (background) {
        if (getTransparency())
            background->drawTransparent(context, size_, backgroundOffset_);
        else
            background->draw(context, size_, backgroundOffset_);
    } else if (!getTransparency()) {
        context->setFillColour(backColour_);
        context->fillRect(size_);
        if (!threeD) {
            context->setFrameColour(frameColour_);
            context->drawArea(size_);
        }
    }
    if (threeD) {
        const bool raised = (style_ & frame3dRaised) != 0;
        context->setFrameColour(raised ? backColour_ : frameColour_);
        context->moveTo({size_.left, size_.bottom});
        context->lineTo({size_.left, size_.top});
        context->lineTo({size_.right + 1, size_.top});
        context->setFrameColour(raised ? frameColour_ : backColour_);
        context->moveTo({size_.right, size_.top + 1});
        context->lineTo({size_.right, size_.bottom});
        context->lineTo({size_.left, size_.bottom});
    }
    if (style_ & noText)
        return;
    context->setFont(fontId_, 0, textFace_);
    // An opaque text background is the back colour.
    context->setFillColour(backColour_);
    if (style_ & shadowText) {
        context->setFontColour(shadowColour_);
        context->drawString(text, {size_.left + 1, size_.top + 1, size_.right + 1, size_.bottom + 1}, !textTransparent_,
                            alignment_);
    }
    context->setFontColour(fontColour_);
    context->drawString(text, size_, !textTransparent_, alignment_);
}

void ValueDisplay::setFont(int32_t id)
{
    change(*this, fontId_, id);
}

void ValueDisplay::setFontColour(Colour colour)
{
    changeColour(*this, fontColour_, colour);
}

void ValueDisplay::setBackColour(Colour colour)
{
    changeColour(*this, backColour_, colour);
}

void ValueDisplay::setFrameColour(Colour colour)
{
    changeColour(*this, frameColour_, colour);
}

void ValueDisplay::setShadowColour(Colour colour)
{
    changeColour(*this, shadowColour_, colour);
}

void ValueDisplay::setTextAlignment(int32_t alignment)
{
    change(*this, alignment_, alignment);
}

void ValueDisplay::setBackgroundOffset(Point offset)
{
    backgroundOffset_ = offset;
}

void ValueDisplay::setTextFormatter(TextHookWithData hook, void* userData)
{
    textHookWithData_ = hook;
    userData_ = userData;
}

void ValueDisplay::setTextFormatter(TextHook hook)
{
    textHook_ = hook;
}

void ValueDisplay::setTextToValueHook(ValueHook hook)
{
    valueHook_ = hook;
}

void ValueDisplay::setStyle(int32_t style)
{
    change(*this, style_, style);
}

void ValueDisplay::setTextFace(int32_t face)
{
    change(*this, textFace_, face);
}

void ValueDisplay::setTextTransparent(bool transparent)
{
    textTransparent_ = transparent;
}

} // namespace voltara
