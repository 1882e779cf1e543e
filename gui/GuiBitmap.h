#pragma once

#include "gui/GuiTypes.h"
#include "platform/Gdi.h"

namespace voltara {

class PaintContext;

// A reference-counted image loaded from one of the library's bitmap
// resources, drawn whole or one sub-image at a time, opaque or with a
// transparent colour. [window thread]
class GuiBitmap {
public:
    explicit GuiBitmap(int32_t resourceId);
    GuiBitmap(const GuiBitmap&) = delete;
    GuiBitmap& operator=(const GuiBitmap&) = delete;

    void addReference() { ++references_; }
    // Frees the bitmap when the count goes from 1 to 0; never below 0.
    void dropReference();
    int32_t getReferenceCount() const { return references_; }

    int32_t getWidth() const { return width_; }
    int32_t getHeight() const { return height_; }
    int32_t getResourceId() const { return resourceId_; }
    platform::GdiObject handle() const { return bitmap_; }

    // Copies the destination's size from the source point of the image.
    void draw(PaintContext* context, const Rect& destination, Point source = {});
    // As draw, leaving out the pixels of the transparent colour.
    void drawTransparent(PaintContext* context, const Rect& destination, Point source = {});
    // Blends with a constant alpha (0..255) through the imaging library's
    // entry; nothing without it.
    void drawAlphaBlend(PaintContext* context, const Rect& destination, Point source, uint8_t alpha);

    // Lets go of the bitmap a holder kept and keeps the next one (either may be null).
    static void replace(GuiBitmap*& held, GuiBitmap* next);

    // Looked up by the frame when it is made; null without the library.
    static platform::AlphaBlendEntry alphaBlendEntry;

private:
    ~GuiBitmap();
    void makeMask(platform::DeviceContext dc, platform::DeviceContext imageDc);

    int32_t resourceId_;
    int32_t references_ = 1;
    int32_t width_ = 0;
    int32_t height_ = 0;
    Colour transparentColour_ = colours::transparentDefault;
    platform::GdiObject bitmap_ = nullptr;
    platform::GdiObject mask_ = nullptr;
};

} // namespace voltara
