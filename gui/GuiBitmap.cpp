#include "gui/GuiBitmap.h"

#include "gui/LibraryModule.h"
#include "gui/PaintContext.h"
#include "platform/Module.h"

namespace voltara {

using namespace platform;

AlphaBlendEntry GuiBitmap::alphaBlendEntry = nullptr;

namespace {

// A memory context holding one bitmap for as long as it lives.
class MemoryContext {
public:
    MemoryContext(DeviceContext compatible, GdiObject bitmap)
        : dc_(CreateCompatibleDC(compatible)), previous_(SelectObject(dc_, bitmap))
    {
    }
    ~MemoryContext()
    {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;
    operator DeviceContext() const { return dc_; }

private:
    DeviceContext dc_;
    GdiObject previous_;
};

// A bitmap deleted when the scope ends, after the contexts that hold it.
struct ScopedBitmap {
    explicit ScopedBitmap(GdiObject b) : bitmap(b) {}
    ~ScopedBitmap()
    {
        if (bitmap)
            DeleteObject(bitmap);
    }
    ScopedBitmap(const ScopedBitmap&) = delete;
    ScopedBitmap& operator=(const ScopedBitmap&) = delete;
    GdiObject bitmap;
};

} // namespace

GuiBitmap::GuiBitmap(int32_t resourceId) : resourceId_(resourceId)
{
    bitmap_ = LoadBitmapA(libraryModule(), intResource(uint32_t(resourceId)));
    BitmapInfo info{};
    if (bitmap_ && GetObjectA(bitmap_, sizeof info, &info) > 0) {
        width_ = info.width;
        height_ = info.height;
    }
}

GuiBitmap::~GuiBitmap()
{
    if (bitmap_)
        DeleteObject(bitmap_);
    if (mask_)
        DeleteObject(mask_);
}

void GuiBitmap::dropReference()
{
    if (references_ <= 0)
        return;
    if (--references_ == 0)
        delete this;
}

void GuiBitmap::replace(GuiBitmap*& held, GuiBitmap* next)
{
    if (held)
        held->dropReference();
    held = next;
    if (held)
        held->addReference();
}

void GuiBitmap::draw(PaintContext* context, const Rect& destination, Point source)
{
    if (!bitmap_ || !context)
        return;
    const Point offset = context->offset();
    MemoryContext image(context->systemContext(), bitmap_);
    BitBlt(context->systemContext(), destination.left + offset.h, destination.top + offset.v, destination.width(),
           destination.height(), image, source.h, source.v, SRCCOPY);
}

void GuiBitmap::makeMask(DeviceContext dc, DeviceContext imageDc)
{
    // Pixels of the transparent colour become 1, all others 0.
    mask_ = CreateBitmap(width_, height_, 1, 1, nullptr);
    if (!mask_)
        return;
    MemoryContext mask(dc, mask_);
    const ColourRef background = SetBkColor(imageDc, toColourRef(transparentColour_));
    const int mapMode = SetMapMode(imageDc, GetMapMode(dc));
    BitBlt(mask, 0, 0, width_, height_, imageDc, 0, 0, SRCCOPY);
    SetMapMode(imageDc, mapMode);
    SetBkColor(imageDc, background);
}

void GuiBitmap::drawTransparent(PaintContext* context, const Rect& destination, Point source)
{
    if (!bitmap_ || !context)
        return;
    DeviceContext dc = context->systemContext();
    const int w = destination.width(), h = destination.height();
    const int x = destination.left + context->offset().h, y = destination.top + context->offset().v;
    const int sx = source.h, sy = source.v;
    MemoryContext image(dc, bitmap_);
    if (!mask_)
        makeMask(dc, image);
    if (!mask_ || w <= 0 || h <= 0)
        return;
    ScopedBitmap saveBitmap(CreateCompatibleBitmap(dc, w, h));
    ScopedBitmap inverseBitmap(CreateBitmap(w, h, 1, 1, nullptr));
    ScopedBitmap backBitmap(CreateCompatibleBitmap(dc, w, h));
    if (!saveBitmap.bitmap || !inverseBitmap.bitmap || !backBitmap.bitmap)
        return;
    MemoryContext mask(dc, mask_);
    MemoryContext save(dc, saveBitmap.bitmap);
    MemoryContext inverse(dc, inverseBitmap.bitmap);
    MemoryContext back(dc, backBitmap.bitmap);

    BitBlt(save, 0, 0, w, h, image, sx, sy, SRCCOPY);
    BitBlt(inverse, 0, 0, w, h, mask, sx, sy, NOTSRCCOPY);
    BitBlt(back, 0, 0, w, h, dc, x, y, SRCCOPY);
    BitBlt(back, 0, 0, w, h, mask, sx, sy, SRCAND);     // background only where transparent
    BitBlt(image, sx, sy, w, h, inverse, 0, 0, SRCAND); // transparent pixels of the image turn black
    BitBlt(back, 0, 0, w, h, image, sx, sy, SRCPAINT);
    BitBlt(dc, x, y, w, h, back, 0, 0, SRCCOPY);
    BitBlt(image, sx, sy, w, h, save, 0, 0, SRCCOPY); // the image as it was
}

void GuiBitmap::drawAlphaBlend(PaintContext* context, const Rect& destination, Point source, uint8_t alpha)
{
    if (!bitmap_ || !context || !alphaBlendEntry)
        return;
    MemoryContext image(context->systemContext(), bitmap_);
    const BlendFunction blend{AC_SRC_OVER, 0, alpha, 0};
    alphaBlendEntry(context->systemContext(), destination.left + context->offset().h,
                    destination.top + context->offset().v, destination.width(), destination.height(), image, source.h,
                    source.v, destination.width(), destination.height(), blend);
}

} // namespace voltara
