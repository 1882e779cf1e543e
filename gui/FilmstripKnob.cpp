#include "gui/FilmstripKnob.h"

namespace voltara {

FilmstripKnob::FilmstripKnob(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageCount,
                             int32_t imageHeight, GuiBitmap* background, Point sourceOffset)
    : RotaryKnob(size, listener, tag, background, nullptr, sourceOffset), imageCount_(imageCount),
      imageHeight_(imageHeight)
{
    inset_ = 0;
}

void FilmstripKnob::draw(PaintContext* context)
{
    int32_t y = 0; // a negative value shows the first image
    if (value_ >= 0.0f && imageHeight_ > 0) {
        const int32_t total = (imageCount_ - 1) * imageHeight_;
        float offset = inverse_ ? (1.0f - value_) * float(total) : float(total) * value_;
        // Values above the range show the end image, not what lies past the strip.
        offset = offset < 0.0f ? 0.0f : offset > float(total) ? float(total) : offset;
        y = static_cast<int32_t>(offset);
        y -= y % imageHeight_;
    }
    drawBackground(context, {sourceOffset_.h, sourceOffset_.v + y});
    setDirty(false);
}

} // namespace voltara
