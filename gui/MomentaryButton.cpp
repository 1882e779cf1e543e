#include "gui/MomentaryButton.h"

#include "gui/PaintContext.h"

namespace voltara {

MomentaryButton::MomentaryButton(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageHeight,
                                 GuiBitmap* background, Point sourceOffset)
    : Control(size, listener, tag, background), sourceOffset_(sourceOffset), imageHeight_(imageHeight)
{
}

void MomentaryButton::draw(PaintContext* context)
{
    clampValue();
    Point source = sourceOffset_;
    if (value_ != 0.0f)
        source.v += imageHeight_;
    drawBackground(context, source);
    setDirty(false);
}

void MomentaryButton::mouse(PaintContext* context, Point where)
{
    const int32_t state = context->queryMouseButtons();
    if (!getMouseEnabled() || !(state & mouseLeft))
        return;
    const float start = value_;
    if (state == mouseLeft) {
        const float pressed = start == 0.0f ? 1.0f : 0.0f;
        trackMouse(
            context, where, [&](Point at, int32_t) { value_ = View::hitTest(at) ? pressed : start; },
            [](int32_t held) { return held == mouseLeft; });
    } else {
        value_ = value_ == 0.0f ? 1.0f : 0.0f;
        if (listener_)
            listener_->onControlChange(context, this);
    }
    value_ = 0.0f;
    if (listener_)
        listener_->onControlChange(context, this);
}

} // namespace voltara
