#include "gui/ToggleButton.h"

#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"

#include <cmath>

namespace voltara {

ToggleButton::ToggleButton(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background)
    : Control(size, listener, tag, background)
{
}

void ToggleButton::draw(PaintContext* context)
{
    const int32_t half = background_ ? background_->getHeight() / 2 : 0;
    drawBackground(context, {0, value_ == 0.0f ? 0 : half});
    setDirty(false);
}

void ToggleButton::mouse(PaintContext* context, Point)
{
    if (!getMouseEnabled() || !(context->queryMouseButtons() & mouseLeft))
        return;
    value_ = std::trunc(value_) != 0.0f ? 0.0f : 1.0f;
    runIdleWork();
    if (listener_)
        listener_->onControlChange(context, this);
}

} // namespace voltara
