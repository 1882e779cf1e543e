#include "editor/RateDisplay.h"

#include "editor/RackLayout.h"
#include "effects/DelayModule.h"
#include "gui/Frame.h"
#include "gui/PopupChoiceMenu.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace voltara {

const char* const RateDisplay::noteEntries[noteCount] = {
    "16/4 Note  ", " 8/4 Note  ", " 4/4 Note  ", " 3/4 Note  ", " 2/4 Note  ", " 1/4 Note D",
    " 1/2 Note T", " 1/4 Note  ", " 1/8 Note D", " 1/4 Note T", " 1/8 Note  ", "1/16 Note D",
    " 1/8 Note T", "1/16 Note  ", "1/16 Note T", "1/32 Note  ",
};

const char* const RateDisplay::noteLabels[noteCount] = {
    "16/4", "8/4",  "4/4", "3/4",   "2/4",  "1/4D", "1/2T",  "1/4",
    "1/8D", "1/4T", "1/8", "1/16D", "1/8T", "1/16", "1/16T", "1/32",
};

namespace {

// Checks the current entry of the popup.
constexpr int32_t popupStyle = PopupChoiceMenu::checkCurrent;
// The popup opens this far below the click.
constexpr int32_t popupDrop = 2;

enum FreeRate { phaserOrFlanger, delay, reverb, tremolo, wah };

} // namespace

void convertRateText(float value, char* text)
{
    if (value < 1.5f) {
        const float note = value * 15.9f;
        std::strcpy(text, note >= 0.0f && note < float(RateDisplay::noteCount - 1)
                              ? RateDisplay::noteLabels[static_cast<int32_t>(note)]
                              : "1/32");
        return;
    }
    // The offset names the module: 2, 4, 6, 8 or 10 and above.
    const float range = value * 0.5f - 0.75f;
    if (!(range >= 0.0f && range < 5.0f))
        return;
    const double x = std::fmod(double(value), 2.0);
    switch (static_cast<int32_t>(range)) {
    case phaserOrFlanger: std::sprintf(text, "%.2f", std::exp(x * 5.2983174 - 2.9957323)); break; // 0.05 .. 10 Hz
    case delay: std::sprintf(text, "%.0f", DelayModule::freeTime(float(x)) * 1000.0f); break;     // 50 .. 2500 ms
    case reverb: std::sprintf(text, "%.2f", x * x * 9.75 + 0.25); break;                          // 0.25 .. 10 s
    case tremolo: std::sprintf(text, "%.2f", x * 16.0); break;                                    // 0 .. 16 Hz
    case wah: std::sprintf(text, "%.2f", x * x * 16.0); break;                                    // 0 .. 16 Hz
    default: break;
    }
}

RateDisplay::RateDisplay(ControlObserver* listener, int32_t displayIndex, Frame* frame, const Rect& size,
                         GuiBitmap* background, int32_t style)
    : ValueDisplay(size, background, style), displayIndex_(displayIndex)
{
    listener_ = listener;
    setFrame(frame);
}

void RateDisplay::mouse(PaintContext* context, Point where)
{
    if (displayIndex_ == reverbDisplay || !frame_)
        return;
    const Rect at{where.h, where.v + popupDrop, where.h, where.v + popupDrop};
    auto* menu = new PopupChoiceMenu(at, nullptr, 0, nullptr, nullptr, popupStyle);
    for (const char* entry : noteEntries)
        menu->addEntry(entry);
    menu->setValue(std::floor(std::fmod(value_, 2.0f) * 15.9f));
    menu->setDirty(true);
    if (!frame_->addView(menu)) {
        menu->dropReference();
        return;
    }
    menu->mouse(context, where);
    // Closed without a choice, the menu still holds the entry it showed.
    value_ = -100.0f * float(displayIndex_ + 1) - menu->getValue() - 0.5f;
    frame_->removeView(menu, true);
    if (listener_)
        listener_->onControlChange(context, this);
}

} // namespace voltara
