#pragma once

#include "gui/Control.h"

namespace voltara {

// The wah's foot pedal: sixteen pictures of it, heel down to toe down, eight
// to a row in two rows, each of the control's own size. Dragging moves it
// with the mouse's height: toe down (1) at y 110 and above, heel down (0) at
// y 310 and below.
class WahPedal : public Control {
public:
    static constexpr int32_t imageCount = 16;
    static constexpr int32_t imagesPerRow = 8;

    WahPedal(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background);

    void draw(PaintContext* context) override;
    // Follows the mouse while any button or modifier is held, as one edit.
    void mouse(PaintContext* context, Point where) override;

    // The picture for a value, 0 to 15.
    static int32_t imageFor(float value);
    // The value for the mouse at window height y.
    static float valueAt(int32_t y);
};

} // namespace voltara
