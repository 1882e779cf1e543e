#pragma once

#include "gui/ValueDisplay.h"

namespace voltara {

// The text of a rate display's value: below 1.5 a note length (a module in
// tempo sync), else the free rate or time that the offset above the rate
// names (phaser and flanger Hz, delay ms, reverb s, tremolo and wah Hz), with
// no unit.
void convertRateText(float value, char* text);

// The small display beside a time-based module: shows its rate, time or
// note length, and on a click offers the sixteen note lengths. A choice
// leaves -100 x (display index + 1) - entry - 0.5 as the display's value
// for the listener, which turns it into the module's sync switch and rate.
class RateDisplay : public ValueDisplay {
public:
    static constexpr int32_t noteCount = 16;
    // Each exactly eleven characters, longest note first.
    static const char* const noteEntries[noteCount];
    // What the display shows for each.
    static const char* const noteLabels[noteCount];

    RateDisplay(ControlObserver* listener, int32_t displayIndex, Frame* frame, const Rect& size, GuiBitmap* background,
                int32_t style);

    // Opens the note popup at the click; the reverb's display takes no clicks.
    void mouse(PaintContext* context, Point where) override;

    int32_t getDisplayIndex() const { return displayIndex_; }

private:
    int32_t displayIndex_;
};

} // namespace voltara
