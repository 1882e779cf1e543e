#pragma once

#include "editor/RackLayout.h"
#include "gui/ValueDisplay.h"

namespace voltara {

// The six modulation LEDs, painted at their places on the module buttons
// (outside the panel's own small rectangle). The value is the rack's packed
// lamp state plus 0.5: three bits per LED, level 0 (dark) to 7.
//
// An idle update paints only the LEDs whose level changed. The buttons under
// the LEDs paint over them, so whatever draws a view under an LED tells the
// panel (forgetUnder), and a full drawing of the frame paints them all.
class LedPanel : public ValueDisplay {
public:
    LedPanel(const Rect& size, GuiBitmap* moduleStrip, GuiBitmap* wahStrip);

    // All six LEDs: the frame, or an area of it, was drawn anew.
    void draw(PaintContext* context) override;
    // Only the LEDs whose level changed or that were painted over.
    void update(PaintContext* context) override;
    // True for areas over any LED.
    bool checkUpdate(const Rect& area) override;

    // The LEDs under the area are painted at the next update; true when the
    // area covers any.
    bool forgetUnder(const Rect& area);
    // The level (0 to 7) that a panel value gives an LED.
    static int32_t levelOf(float value, int32_t led);

protected:
    ~LedPanel() override;

private:
    void paint(PaintContext* context, bool all);

    GuiBitmap* moduleStrip_;
    GuiBitmap* wahStrip_;
    int32_t shown_[ledCount]; // the level last painted; -1: paint at the next chance
};

} // namespace voltara
