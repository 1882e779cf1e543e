#pragma once

#include "editor/RackLayout.h"
#include "gui/ValueDisplay.h"

namespace voltara {

// The six modulation lamps, painted at their places on the module buttons
// (outside the panel's own small rectangle). The value is the rack's packed
// lamp state plus 0.5: three bits per lamp, level 0 (dark) to 7.
//
// An idle update paints only the lamps whose level changed. The buttons under
// the lamps paint over them, so whatever draws a view under a lamp tells the
// panel (forgetUnder), and a full drawing of the frame paints them all.
class LedPanel : public ValueDisplay {
public:
    LedPanel(const Rect& size, GuiBitmap* moduleStrip, GuiBitmap* wahStrip);

    // All six lamps: the frame, or an area of it, was drawn anew.
    void draw(PaintContext* context) override;
    // Only the lamps whose level changed or that were painted over.
    void update(PaintContext* context) override;
    // True for areas over any lamp.
    bool checkUpdate(const Rect& area) override;

    // The lamps under the area are painted at the next update; true when the
    // area covers any.
    bool forgetUnder(const Rect& area);
    // The level (0 to 7) that a panel value gives a lamp.
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
