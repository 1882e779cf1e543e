#include "tools/artwork/Controls.h"

#include "tools/artwork/Parts.h"
#include "tools/artwork/Style.h"

#include <stdexcept>
#include <string>

namespace voltara {
namespace artwork {

Picture drawSyncSwitch(const Picture& background)
{
    const Box place = leverSwitches[0].box;
    // Every place must show the same recess, or the strip would not fit.
    for (const Placement& other : leverSwitches) {
        if (background.crop(other.box.left, other.box.top, place.width(), place.height()).pixels
            != background.crop(place.left, place.top, place.width(), place.height()).pixels)
            throw std::runtime_error(std::string("the switch recesses differ at ") + other.caption);
    }
    return stateStrip(background, place, 2, [](cairo_t* cr, int32_t on) {
        drawLamp(cr, 5.5, 3.8, 2.4, on);
        drawNut(cr, 5.5, 16, 3.6);
        drawLever(cr, 5.5, 16, 5.5, on ? 10.0 : 22.2, 2.0, 1.9);
    });
}

Picture drawFilterModeSwitch(const Picture& background)
{
    return stateStrip(background, filterMode, 2, [](cairo_t* cr, int32_t up) {
        drawNut(cr, 12.5, 12.5, 5.5);
        drawLever(cr, 12.5, 12.5, 12.5, up ? 3.5 : 21.5, 3.0, 2.9);
    });
}

Picture drawChorusModeSwitch(const Picture& background)
{
    return stateStrip(background, chorusMode, 2, [](cairo_t* cr, int32_t detune) {
        drawNut(cr, 12.5, 12.5, 5.5);
        drawLever(cr, 12.5, 12.5, detune ? 21.5 : 3.5, 12.5, 3.0, 2.9);
    });
}

Picture drawReverbModeSwitch(const Picture& background)
{
    const double x = reverbMode.width() / 2.0, y = reverbMode.height() / 2.0;
    const double tips[3] = {3.3, y - 0.5, 22.7};
    return stateStrip(background, reverbMode, 3, [&](cairo_t* cr, int32_t model) {
        drawNut(cr, x, y, 5.5);
        // The middle position points at the player: only the ball shows.
        drawLever(cr, x, y, x, tips[model], 3.0, model == 1 ? 3.4 : 2.9);
    });
}

Picture drawDelayModeSwitch(const Picture& background)
{
    const char* names[4] = {"MONO", "M.HEAD", "P.PONG", "M.TAP"};
    return stateStrip(background, delayMode, 4, [&](cairo_t* cr, int32_t mode) {
        const double w = delayMode.width(), h = delayMode.height();
        roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 3);
        setColour(cr, {14, 14, 16});
        cairo_fill_preserve(cr);
        setColour(cr, {255, 255, 255}, 0.15);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        // Slot with four stops; the slider sits at the chosen one.
        roundedRect(cr, 3, 6, w - 6, 3, 1.5);
        setColour(cr, {0, 0, 0});
        cairo_fill(cr);
        const double stop = w / 4;
        for (int i = 0; i < 4; ++i) {
            cairo_arc(cr, stop * (i + 0.5), 2.6, 1.0, 0, 2 * pi);
            setColour(cr, i == mode ? ink::amber : Rgb{70, 60, 50});
            cairo_fill(cr);
        }
        const double sx = stop * (mode + 0.5);
        roundedRect(cr, sx - 3, 4, 6, 7, 1.2);
        chromeGradient(cr, sx - 3, 4, sx + 3, 11);
        cairo_fill(cr);
        setColour(cr, ink::amber);
        drawText(cr, Face::CondensedBold, 6, names[mode], w / 2, 21, Align::Centre);
    });
}

} // namespace artwork
} // namespace voltara
