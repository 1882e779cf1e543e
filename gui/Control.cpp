#include "gui/Control.h"

#include "gui/Frame.h"
#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"

namespace voltara {

Control::Control(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background)
    : View(size), listener_(listener), tag_(tag), background_(background)
{
    if (background_)
        background_->addReference();
}

Control::~Control()
{
    if (background_)
        background_->dropReference();
}

bool Control::isDirty() const
{
    return value_ != oldValue_ || View::isDirty();
}

void Control::setDirty(bool dirty)
{
    View::setDirty(dirty);
    if (dirty)
        oldValue_ = value_ == -1.0f ? 0.0f : -1.0f;
    else
        oldValue_ = value_;
}

void Control::runIdleWork()
{
    if (frame_)
        frame_->idle();
}

void Control::setValue(float value)
{
    value_ = value;
}

float Control::getValue() const
{
    return value_;
}

void Control::setMin(float value)
{
    minimum_ = value;
}

float Control::getMin() const
{
    return minimum_;
}

void Control::setMax(float value)
{
    maximum_ = value;
}

float Control::getMax() const
{
    return maximum_;
}

void Control::setOldValue(float value)
{
    oldValue_ = value;
}

float Control::getOldValue() const
{
    return oldValue_;
}

void Control::setDefaultValue(float value)
{
    defaultValue_ = value;
}

float Control::getDefaultValue() const
{
    return defaultValue_;
}

void Control::setTag(int32_t tag)
{
    tag_ = tag;
}

void Control::setBackground(GuiBitmap* background)
{
    GuiBitmap::replace(background_, background);
}

GuiBitmap* Control::getBackground() const
{
    return background_;
}

void Control::setWheelStep(float step)
{
    wheelIncrement_ = step;
}

float Control::getWheelInc() const
{
    return wheelIncrement_;
}

void Control::clampValue()
{
    if (value_ > maximum_)
        value_ = maximum_;
    else if (value_ < minimum_)
        value_ = minimum_;
}

void Control::drawBackground(PaintContext* context, Point source)
{
    if (!background_)
        return;
    if (getTransparency())
        background_->drawTransparent(context, size_, source);
    else
        background_->draw(context, size_, source);
}

bool Control::takeDefaultOnControlClick(PaintContext* context, int32_t state)
{
    if (state != (mouseLeft | mouseControl))
        return false;
    value_ = defaultValue_;
    reportIfChanged(context);
    return true;
}

void Control::reportIfChanged(PaintContext* context)
{
    if (listener_ && isDirty())
        listener_->onControlChange(context, this);
}

void Control::trackMouse(PaintContext* context, Point where, const std::function<void(Point, int32_t)>& follow,
                         const std::function<bool(int32_t)>& holding)
{
    if (frame_)
        frame_->beginGesture(tag_);
    int32_t state = context->queryMouseButtons();
    // The host may close the editor from any call the loop makes (the frame
    // and this control stay until the click returns): the drag then ends.
    while (!frame_ || frame_->isOpen()) {
        follow(where, state);
        reportIfChanged(context);
        context->queryMousePosition(where);
        runIdleWork();
        state = context->queryMouseButtons();
        if (!holding(state))
            break;
    }
    if (frame_)
        frame_->endGesture(tag_);
}

} // namespace voltara
