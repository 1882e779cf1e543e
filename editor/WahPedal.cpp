#include "editor/WahPedal.h"

#include "gui/GuiBitmap.h"

namespace voltara {

namespace {

constexpr int32_t middleHeight = 210;   // window y of the value 0.5
constexpr float valuePerPixel = 0.005f; // 200 pixels for the whole travel

} // namespace

WahPedal::WahPedal(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background)
    : Control(size, listener, tag, background)
{
}

int32_t WahPedal::imageFor(float value)
{
    const float image = value * 15.9f;
    // Values a host set outside 0..1 show the nearer end.
    return image <= 0.0f ? 0 : image >= float(imageCount - 1) ? imageCount - 1 : static_cast<int32_t>(image);
}

float WahPedal::valueAt(int32_t y)
{
    const float value = float(middleHeight - y) * valuePerPixel + 0.5f;
    return value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
}

void WahPedal::draw(PaintContext* context)
{
    const int32_t image = imageFor(value_);
    drawBackground(context, {size_.width() * (image % imagesPerRow), size_.height() * (image / imagesPerRow)});
    setDirty(false);
}

void WahPedal::mouse(PaintContext* context, Point where)
{
    trackMouse(
        context, where, [this](Point at, int32_t) { value_ = valueAt(at.v); }, [](int32_t held) { return held != 0; });
}

} // namespace voltara
