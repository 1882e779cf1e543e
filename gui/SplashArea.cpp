#include "gui/SplashArea.h"

#include "gui/Frame.h"
#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"

namespace voltara {

SplashArea::SplashArea(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background,
                       const Rect& displayRect, Point sourceOffset)
    : Control(size, listener, tag, background), displayRect_(displayRect), savedSize_(size), sourceOffset_(sourceOffset)
{
}

void SplashArea::draw(PaintContext* context)
{
    if (value_ != 0.0f && background_)
        background_->draw(context, displayRect_, sourceOffset_);
    setDirty(false);
}

void SplashArea::mouse(PaintContext* context, Point)
{
    if (!getMouseEnabled() || !(context->queryMouseButtons() & mouseLeft))
        return;
    if (value_ == 0.0f) {
        // Another modal view is showing: the splash stays closed.
        if (!frame_ || !frame_->setModalView(this))
            return;
        value_ = 1.0f;
        savedSize_ = size_;
        size_ = displayRect_;
        draw(context);
    } else {
        value_ = 0.0f;
        size_ = savedSize_;
        if (frame_) {
            frame_->setModalView(nullptr);
            frame_->draw(context);
        }
    }
    if (listener_)
        listener_->onControlChange(context, this);
    setDirty(true);
}

} // namespace voltara
