#include "gui/StripSwitch.h"

#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"

namespace voltara {

StripSwitch::StripSwitch(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageCount,
                         int32_t imageHeight, int32_t positions, GuiBitmap* background, Point sourceOffset)
    : Control(size, listener, tag, background), sourceOffset_(sourceOffset), imageCount_(imageCount),
      imageHeight_(imageHeight), positions_(positions)
{
    defaultValue_ = 0.0f;
}

void StripSwitch::draw(PaintContext* context)
{
    // Values outside 0..1 show the end images rather than what lies past the strip.
    const float last = float(positions_ > 1 ? positions_ - 1 : 0);
    const float position = last * value_ + 0.5f;
    const int32_t image = static_cast<int32_t>(position < 0.0f ? 0.0f : position > last ? last : position);
    drawBackground(context, {sourceOffset_.h, sourceOffset_.v + image * imageHeight_});
    setDirty(false);
}

void StripSwitch::mouse(PaintContext* context, Point where)
{
    const int32_t state = context->queryMouseButtons();
    if (!getMouseEnabled() || !(state & mouseLeft) || takeDefaultOnControlClick(context, state))
        return;
    trackMouse(
        context, where,
        [this](Point at, int32_t) {
            // A one-position switch has nowhere to go.
            const float value = positions_ > 1 ? float(positionAt(at)) / float(positions_ - 1) : 0.0f;
            value_ = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
        },
        [state](int32_t held) { return held == state; });
}

VerticalStripSwitch::VerticalStripSwitch(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageCount,
                                         int32_t imageHeight, int32_t positions, GuiBitmap* background,
                                         Point sourceOffset)
    : StripSwitch(size, listener, tag, imageCount, imageHeight, positions, background, sourceOffset)
{
}

int32_t VerticalStripSwitch::positionAt(Point where) const
{
    return imageHeight_ > 0 ? (where.v - size_.top) * positions_ / imageHeight_ : 0;
}

HorizontalStripSwitch::HorizontalStripSwitch(const Rect& size, ControlObserver* listener, int32_t tag,
                                             int32_t imageCount, int32_t imageHeight, int32_t positions,
                                             GuiBitmap* background, Point sourceOffset)
    : StripSwitch(size, listener, tag, imageCount, imageHeight, positions, background, sourceOffset)
{
}

int32_t HorizontalStripSwitch::positionAt(Point where) const
{
    const int32_t width = background_ ? background_->getWidth() : 0;
    return width > 0 ? (where.h - size_.left) * positions_ / width : 0;
}

} // namespace voltara
