#pragma once

#include "gui/Control.h"

namespace voltara {

// An on/off button: the background holds the off image above the on image.
class ToggleButton : public Control {
public:
    ToggleButton(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background);

    void draw(PaintContext* context) override;
    // A left click flips the value; no drag.
    void mouse(PaintContext* context, Point where) override;
};

} // namespace voltara
