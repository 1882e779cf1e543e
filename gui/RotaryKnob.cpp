#include "gui/RotaryKnob.h"

#include "gui/EditorBase.h"
#include "gui/Frame.h"
#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"
#include "plugin/host/PluginDescriptor.h"

#include <cmath>

namespace voltara {

namespace {

constexpr float fullTurn = 6.2831855f;

int32_t handleInset(const GuiBitmap* handle)
{
    return handle ? static_cast<int32_t>(float(handle->getWidth()) * 0.5f + 2.5f) : 3;
}

} // namespace

RotaryKnob::RotaryKnob(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background,
                       GuiBitmap* handle, Point sourceOffset)
    : Control(size, listener, tag, background), sourceOffset_(sourceOffset), handle_(handle),
      inset_(handleInset(handle)), radius_(float(size.width()) * 0.5f)
{
    if (handle_)
        handle_->addReference();
    computeGeometry();
}

RotaryKnob::~RotaryKnob()
{
    if (handle_)
        handle_->dropReference();
}

void RotaryKnob::computeGeometry()
{
    slope_ = (maximum_ - minimum_) / rangeAngle_;
    intercept_ = minimum_ - slope_ * startAngle_;
    halfGapAngle_ = (fullTurn - std::fabs(rangeAngle_)) * 0.5f;
    setDirty(true);
}

void RotaryKnob::setStartAngle(float angle)
{
    startAngle_ = angle;
    computeGeometry();
}

float RotaryKnob::getStartAngle() const
{
    return startAngle_;
}

void RotaryKnob::setRangeAngle(float angle)
{
    rangeAngle_ = angle;
    computeGeometry();
}

float RotaryKnob::getRangeAngle() const
{
    return rangeAngle_;
}

void RotaryKnob::setHandleInset(int32_t inset)
{
    inset_ = inset;
}

void RotaryKnob::setShadowColour(Colour colour)
{
    shadowColour_ = colour;
    setDirty(true);
}

void RotaryKnob::setHandleColour(Colour colour)
{
    handleColour_ = colour;
    setDirty(true);
}

void RotaryKnob::setHandleBitmap(GuiBitmap* handle)
{
    GuiBitmap::replace(handle_, handle);
    inset_ = handleInset(handle_);
}

void RotaryKnob::setFineFactor(float factor)
{
    zoomFactor_ = factor;
}

float RotaryKnob::getZoomFactor() const
{
    return zoomFactor_;
}

void RotaryKnob::valueToPoint(Point& point) const
{
    const float angle = (value_ - intercept_) / slope_;
    const float reach = radius_ - float(inset_);
    point.h = static_cast<int32_t>(std::cos(angle) * reach + radius_ + 0.5f);
    point.v = static_cast<int32_t>(radius_ - std::sin(angle) * reach + 0.5f);
}

float RotaryKnob::valueFromPoint(Point& point) const
{
    float angle = std::atan2(radius_ - float(point.v), float(point.h) - radius_);
    if (angle < 0.0f)
        angle += fullTurn;
    float d = angle - startAngle_;
    auto wrapped = [](float a) { return a < 0.0f ? a + fullTurn : a > fullTurn ? a - fullTurn : a; };
    if (rangeAngle_ >= 0.0f) {
        const float n = wrapped(d);
        if (n > rangeAngle_ + halfGapAngle_)
            return minimum_;
        if (n > rangeAngle_)
            return maximum_;
        if (d > rangeAngle_ + halfGapAngle_)
            return (d - fullTurn) * slope_ + minimum_;
        return (d < -halfGapAngle_ ? d + fullTurn : d) * slope_ + minimum_;
    }
    // Clockwise: measured back from the end of the range, at the maximum.
    d -= rangeAngle_;
    const float n = wrapped(d);
    if (n > halfGapAngle_ - rangeAngle_)
        return maximum_;
    if (n > -rangeAngle_)
        return minimum_;
    if (d > halfGapAngle_ - rangeAngle_)
        return (d - fullTurn) * slope_ + maximum_;
    return (d < -halfGapAngle_ ? d + fullTurn : d) * slope_ + maximum_;
}

void RotaryKnob::draw(PaintContext* context)
{
    drawBackground(context, sourceOffset_);
    drawHandle(context);
    setDirty(false);
}

void RotaryKnob::drawHandle(PaintContext* context)
{
    Point handle;
    valueToPoint(handle);
    if (handle_) {
        const int32_t w = handle_->getWidth(), h = handle_->getHeight();
        const Rect where{size_.left + handle.h - w / 2, size_.top + handle.v - h / 2, 0, 0};
        handle_->drawTransparent(context, {where.left, where.top, where.left + w, where.top + h}, {0, 0});
        return;
    }
    const Point p{handle.h + size_.left - 1, handle.v + size_.top};
    const Point c{size_.left - 1 + size_.width() / 2, size_.top + size_.height() / 2};
    context->setFrameColour(shadowColour_);
    context->moveTo(p);
    context->lineTo(c);
    context->setFrameColour(handleColour_);
    context->moveTo({p.h + 1, p.v - 1});
    context->lineTo({c.h + 1, c.v - 1});
}

bool RotaryKnob::linearMode(int32_t state) const
{
    const bool alt = (state & mouseAlt) != 0;
    return EditorBase::knobMode() == 2 ? !alt : alt;
}

void RotaryKnob::mouse(PaintContext* context, Point where)
{
    const int32_t state = context->queryMouseButtons();
    if (!getMouseEnabled() || !(state & mouseLeft) || takeDefaultOnControlClick(context, state))
        return;
    if (frame_)
        frame_->setFocusView(this);
    const Point click = where;
    bool first = true;
    Point last = where;
    auto released = [](int32_t held) { return (held & mouseLeft) != 0; };
    if (linearMode(state)) {
        auto stepFor = [this](int32_t held) {
            return (maximum_ - minimum_) / ((held & mouseShift) ? zoomFactor_ * 200.0f : 200.0f);
        };
        float step = stepFor(state), start = value_;
        int32_t lastState = state;
        trackMouse(
            context, where,
            [&](Point at, int32_t held) {
                const float delta = float((at.h - click.h) - (at.v - click.v));
                if (held != lastState) {
                    // Keep the value where it is when the step changes.
                    const float newStep = stepFor(held);
                    start += (step - newStep) * delta;
                    step = newStep;
                    lastState = held;
                }
                if (!first && at.h == last.h && at.v == last.v)
                    return;
                first = false;
                last = at;
                value_ = start + delta * step;
                clampValue();
            },
            released);
        return;
    }
    Point relative{where.h - size_.left, where.v - size_.top};
    float accepted = valueFromPoint(relative);
    const float halfRange = (maximum_ - minimum_) * 0.5f;
    trackMouse(
        context, where,
        [&](Point at, int32_t) {
            if (!first && at.h == last.h && at.v == last.v)
                return;
            first = false;
            last = at;
            Point inside{at.h - size_.left, at.v - size_.top};
            const float value = valueFromPoint(inside);
            // Across the gap the value stays at the end it came from.
            if (value < accepted - halfRange) {
                value_ = maximum_;
            } else if (value > accepted + halfRange) {
                value_ = minimum_;
            } else {
                value_ = value;
                accepted = value;
            }
        },
        released);
}

bool RotaryKnob::onWheel(PaintContext* context, Point, float distance)
{
    if (!getMouseEnabled())
        return false;
    const bool fine = context && (context->queryMouseButtons() & mouseShift);
    value_ += distance * wheelIncrement_ * (fine ? 0.1f : 1.0f);
    clampValue();
    reportIfChanged(context);
    return true;
}

int32_t RotaryKnob::onKeyDown(KeyRecord* key)
{
    if (!key)
        return -1;
    float step = (key->modifier & 1) ? wheelIncrement_ * 0.1f : wheelIncrement_;
    switch (key->virtualKey) {
    case 11:
    case 14: step = -step; break;
    case 12:
    case 13: break;
    default: return -1;
    }
    value_ += step;
    clampValue();
    reportIfChanged(nullptr);
    return 1;
}

} // namespace voltara
