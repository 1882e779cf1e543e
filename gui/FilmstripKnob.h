#pragma once

#include "gui/RotaryKnob.h"

namespace voltara {

// A knob drawn as one image of a vertical strip chosen by the value, with
// no handle; mouse, wheel and keys as a rotary knob.
class FilmstripKnob : public RotaryKnob {
public:
    FilmstripKnob(const Rect& size, ControlObserver* listener, int32_t tag, int32_t imageCount, int32_t imageHeight,
                  GuiBitmap* background, Point sourceOffset);

    void draw(PaintContext* context) override;
    // Inverse: the value 1 shows the first image.
    void setInverseBitmap(bool inverse) { inverse_ = inverse; }

protected:
    int32_t imageCount_;
    int32_t imageHeight_;
    bool inverse_ = false;
};

} // namespace voltara
