#pragma once

#include "gui/View.h"

#include <functional>

namespace voltara {

class Control;
class GuiBitmap;

// Told by a control after the user changed its value; the context may be null.
class ControlObserver {
public:
    virtual void onControlChange(PaintContext* context, Control* control) = 0;

protected:
    ~ControlObserver() = default;
};

// A view with a value, normally 0..1, drawn from a background bitmap. A
// control counts as dirty while its value differs from the value last drawn.
// [window thread]
class Control : public View {
public:
    Control(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background);

    bool isDirty() const override;
    // true: the old value becomes -1 (0 when the value is -1) so the control
    // counts as changed; false: the old value becomes the value.
    void setDirty(bool dirty) override;

    // The frame's idle: keeps the host and window serviced during a drag.
    virtual void runIdleWork();
    virtual void setValue(float value);
    virtual float getValue() const;
    virtual void setMin(float value);
    virtual float getMin() const;
    virtual void setMax(float value);
    virtual float getMax() const;
    virtual void setOldValue(float value);
    virtual float getOldValue() const;
    virtual void setDefaultValue(float value);
    virtual float getDefaultValue() const;
    virtual void setTag(int32_t tag);
    virtual void setBackground(GuiBitmap* background);
    virtual GuiBitmap* getBackground() const;
    virtual void setWheelStep(float step);
    virtual float getWheelInc() const;
    virtual void clampValue();

    int32_t getTag() const { return tag_; }
    ControlObserver* getListener() const { return listener_; }

protected:
    ~Control() override;

    // The background into the size from the source point, transparently when
    // the view draws transparent.
    void drawBackground(PaintContext* context, Point source);
    // A click with exactly the left button and Control sets the default
    // value (reported when it changed anything); true when it was one.
    bool takeDefaultOnControlClick(PaintContext* context, int32_t state);
    // Tells the listener when the value changed since it was last drawn.
    void reportIfChanged(PaintContext* context);
    // The drag loop every control shares, bracketed as one edit: each pass
    // works out the value from the mouse, reports a change, reads the mouse
    // and serves idle work; it goes on while `holding` accepts the mouse state.
    void trackMouse(PaintContext* context, Point where, const std::function<void(Point where, int32_t state)>& follow,
                    const std::function<bool(int32_t state)>& holding);

    ControlObserver* listener_;
    int32_t tag_;
    float oldValue_ = 1.0f;
    float defaultValue_ = 0.5f;
    float value_ = 0.0f;
    float minimum_ = 0.0f;
    float maximum_ = 1.0f;
    float wheelIncrement_ = 0.1f;
    GuiBitmap* background_;
};

} // namespace voltara
