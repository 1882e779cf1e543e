#pragma once

#include "gui/Control.h"

namespace voltara {

// A button that is on only while held with the mouse inside it; the pressed
// image lies one image height below the released one.
class MomentaryButton : public Control {
public:
    MomentaryButton(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageHeight,
                    GuiBitmap* background, Point sourceOffset);

    void draw(PaintContext* context) override;
    // Reports pressed, outside (the value at the click) and released (0).
    void mouse(PaintContext* context, Point where) override;

private:
    Point sourceOffset_;
    int32_t imageHeight_;
};

} // namespace voltara
