#pragma once

#include "gui/Control.h"

namespace voltara {

// A switch of several positions drawn from a vertical strip of images; the
// mouse picks the position along one axis while the button is held.
class StripSwitch : public Control {
public:
    void draw(PaintContext* context) override;
    // Control+click sets the default; a drag ends when the mouse state changes.
    void mouse(PaintContext* context, Point where) override;

protected:
    StripSwitch(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageCount, int32_t imageHeight,
                int32_t positions, GuiBitmap* background, Point sourceOffset);
    // The position (0 .. positions - 1, not yet limited) under the mouse.
    virtual int32_t positionAt(Point where) const = 0;

    Point sourceOffset_;
    int32_t imageCount_; // kept; the strip's positions decide
    int32_t imageHeight_;
    int32_t positions_;
};

// Positions from top to bottom over one image height.
class VerticalStripSwitch : public StripSwitch {
public:
    VerticalStripSwitch(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageCount,
                        int32_t imageHeight, int32_t positions, GuiBitmap* background, Point sourceOffset);

protected:
    int32_t positionAt(Point where) const override;
};

// Positions from left to right over the background's width.
class HorizontalStripSwitch : public StripSwitch {
public:
    HorizontalStripSwitch(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageCount,
                          int32_t imageHeight, int32_t positions, GuiBitmap* background, Point sourceOffset);

protected:
    int32_t positionAt(Point where) const override;
};

} // namespace voltara
