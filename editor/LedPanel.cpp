#include "editor/LedPanel.h"

#include "gui/GuiBitmap.h"
#include "plugin/host/LampPacking.h"

namespace voltara {

namespace {

bool overlap(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

LedPanel::LedPanel(const Rect& size, GuiBitmap* moduleStrip, GuiBitmap* wahStrip)
    : ValueDisplay(size, nullptr, 0), moduleStrip_(moduleStrip), wahStrip_(wahStrip)
{
    for (GuiBitmap* strip : {moduleStrip_, wahStrip_})
        if (strip)
            strip->addReference();
    for (int32_t& level : shown_)
        level = -1;
}

LedPanel::~LedPanel()
{
    for (GuiBitmap* strip : {moduleStrip_, wahStrip_})
        if (strip)
            strip->dropReference();
}

int32_t LedPanel::levelOf(float value, int32_t led)
{
    // The packed state is small: three bits for each of six lamps.
    const int32_t packed = value > 0.0f && value < float(1 << 18) ? static_cast<int32_t>(value) : 0;
    return LampPacking::lamp(packed, LampPacking::places[led]);
}

void LedPanel::draw(PaintContext* context)
{
    paint(context, true);
}

void LedPanel::update(PaintContext* context)
{
    if (isDirty())
        paint(context, false);
}

bool LedPanel::checkUpdate(const Rect& area)
{
    for (const Rect& place : ledPlaces)
        if (!(area.right < place.left || area.left > place.right || area.bottom < place.top || area.top > place.bottom))
            return true;
    return ValueDisplay::checkUpdate(area);
}

bool LedPanel::forgetUnder(const Rect& area)
{
    bool covered = false;
    for (int32_t led = 0; led < ledCount; ++led)
        if (overlap(area, ledPlaces[led])) {
            shown_[led] = -1;
            covered = true;
        }
    if (covered)
        setDirty(true);
    return covered;
}

void LedPanel::paint(PaintContext* context, bool all)
{
    for (int32_t led = 0; led < ledCount; ++led) {
        const int32_t level = levelOf(value_, led);
        if (!all && level == shown_[led])
            continue;
        shown_[led] = level;
        const Rect& place = ledPlaces[led];
        if (led == wahLed) { // opaque, from a small strip of its own
            if (wahStrip_)
                wahStrip_->draw(context, place, {0, place.height() * level});
        } else if (moduleStrip_) {
            moduleStrip_->drawTransparent(context, place, {0, place.height() * level});
        }
    }
    setDirty(false);
}

} // namespace voltara
