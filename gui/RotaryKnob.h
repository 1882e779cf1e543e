#pragma once

#include "gui/Control.h"

namespace voltara {

// A knob: the background with a handle (a line, or a bitmap) at the angle of
// the value. Angles are radians counter-clockwise from the positive
// horizontal axis, the vertical axis pointing up; by default the knob turns
// clockwise through 270 degrees from the lower left to the lower right.
class RotaryKnob : public Control {
public:
    RotaryKnob(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background, GuiBitmap* handle,
               Point sourceOffset);

    void draw(PaintContext* context) override;
    // Circular: the value follows the angle of the mouse; linear: it follows
    // the distance moved right and up. Shift makes steps finer.
    void mouse(PaintContext* context, Point where) override;
    bool onWheel(PaintContext* context, Point where, float distance) override;
    // Virtual keys 11 and 14 lower the value, 12 and 13 raise it.
    int32_t onKeyDown(KeyRecord* key) override;

    virtual void drawHandle(PaintContext* context);
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const;
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const;
    // The handle point for the value, relative to the knob's top-left.
    virtual void valueToPoint(Point& point) const;
    // The value for a point relative to the knob's top-left.
    virtual float valueFromPoint(Point& point) const;
    virtual void setHandleInset(int32_t inset);
    virtual void setShadowColour(Colour colour);
    virtual void setHandleColour(Colour colour);
    virtual void setHandleBitmap(GuiBitmap* handle);
    virtual void setFineFactor(float factor);
    virtual float getZoomFactor() const;

protected:
    ~RotaryKnob() override;

private:
    void computeGeometry();
    bool linearMode(int32_t state) const;

protected:
    Point sourceOffset_;
    Colour handleColour_ = colours::white;
    Colour shadowColour_ = colours::grey;
    GuiBitmap* handle_;
    int32_t inset_;
    float startAngle_ = 3.9269907f;
    float rangeAngle_ = -4.712389f;
    float halfGapAngle_ = 0.0f;
    float slope_ = 0.0f;
    float intercept_ = 0.0f;
    float radius_;
    float zoomFactor_ = 1.5f;
};

} // namespace voltara
