#pragma once

#include "gui/Control.h"

namespace voltara {

// A click area that shows a picture over the whole editor as the frame's
// modal view; a click on the picture closes it.
class SplashArea : public Control {
public:
    SplashArea(const Rect& size, ControlObserver* listener, int32_t tag, GuiBitmap* background, const Rect& displayRect,
               Point sourceOffset);

    // The picture, only while open.
    void draw(PaintContext* context) override;
    void mouse(PaintContext* context, Point where) override;

private:
    Rect displayRect_;
    Rect savedSize_;
    Point sourceOffset_;
};

} // namespace voltara
