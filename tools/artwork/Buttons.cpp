#include "tools/artwork/Controls.h"

#include "tools/artwork/Parts.h"
#include "tools/artwork/Style.h"

#include <cmath>
#include <stdexcept>

namespace voltara {
namespace artwork {
namespace {

// The lamp of a module button sits at its left tip.
constexpr double ledX = 4.0, ledY = 13.0;
constexpr double ledSocketRadius = 4.4;

// The power sign: a broken ring with a bar.
void drawPowerSign(cairo_t* cr, double x, double y, double radius, Rgb colour)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, radians(-55), radians(235));
    cairo_move_to(cr, x, y - radius - 0.8);
    cairo_line_to(cr, x, y - radius * 0.1);
    setColour(cr, colour);
    cairo_set_line_width(cr, 1.3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void moduleButtonShape(cairo_t* cr)
{
    roundedRect(cr, 0, 0, 38, 25, 12.5);
}

void drawModuleButtonState(cairo_t* cr, bool on)
{
    // Chrome bezel.
    moduleButtonShape(cr);
    chromeGradient(cr, 0, 0, 10, 25);
    cairo_fill(cr);
    // lamp socket at the tip.
    cairo_arc(cr, ledX, ledY, ledSocketRadius, 0, 2 * pi);
    setColour(cr, ink::ledSocket);
    cairo_fill(cr);
    // The key: dark rubber when off, backlit amber when on.
    const double kx = 10, ky = 2.5, kw = 26, kh = 20;
    roundedRect(cr, kx - 0.5, ky - 0.5, kw + 1, kh + 1, 10.5);
    setColour(cr, {0, 0, 0}, 0.8);
    cairo_fill(cr);
    roundedRect(cr, kx, ky, kw, kh, 10);
    if (on) {
        fillGradient(cr, cairo_pattern_create_radial(kx + kw / 2, ky + kh / 2, 1, kx + kw / 2, ky + kh / 2, 14),
                     {{0, 1.0, 0.93, 0.66}, {0.6, 1.0, 0.68, 0.16}, {1, 0.72, 0.34, 0.04}});
        drawPowerSign(cr, kx + kw / 2, ky + kh / 2 + 0.5, 4.2, {120, 50, 0});
    } else {
        fillVertical(cr, ky, ky + kh, {70, 70, 76}, {20, 20, 23});
        drawPowerSign(cr, kx + kw / 2, ky + kh / 2 + 0.5, 4.2, {120, 120, 126});
    }
    roundedRect(cr, kx + 1, ky + 0.8, kw - 2, kh - 2, 9);
    setColour(cr, {255, 255, 255}, on ? 0.35 : 0.12);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

// The wah button: a lit plate with its word, lamp 5 in a socket on the
// chrome to the right of it, kept off the plate as the module buttons keep
// their lamp off the key. In the button's own pixels.
struct WahPlate {
    double left = 2.5, top = 2.5, right = 37.5, bottom = 15.5;
    const char* word = "WAH ON";
    double letterSize = 7.0, baseline = 11.5; // no tracking: whole-pixel letters stay sharp
    double margin = 2.0;                      // plate colour left and right of the word
    double ledX = leds[5].centreX() - wahButton.left;
    double ledY = leds[5].centreY() - wahButton.top;
    double ledSocketRadius = 2.9;
    double centre() const { return (left + right) / 2; }
};

// The generator refuses a word that leaves its plate or a plate that runs
// into the lamp's socket.
void checkWahPlate(const WahPlate& plate)
{
    if (plate.right + 1.0 > plate.ledX - plate.ledSocketRadius)
        throw std::runtime_error("the wah button's plate runs into its lamp");
    Canvas canvas(wahButton.width(), wahButton.height());
    const double advance = textWidth(canvas.cr(), Face::CondensedBold, plate.letterSize, plate.word);
    cairo_text_extents_t ink;
    cairo_text_extents(canvas.cr(), plate.word, &ink);
    // Where drawText puts it: centred, started on a whole pixel.
    const double inkLeft = std::round(plate.centre() - advance / 2) + ink.x_bearing;
    const double inkRight = inkLeft + ink.width;
    if (inkLeft < plate.left + plate.margin || inkRight > plate.right - plate.margin
        || plate.baseline + ink.y_bearing < plate.top + 1.0 || plate.baseline > plate.bottom - 1.0)
        throw std::runtime_error("the wah button's word does not fit its plate");
}

} // namespace

Picture drawModuleButton()
{
    Canvas silhouette(38, 25);
    moduleButtonShape(silhouette.cr());
    cairo_fill(silhouette.cr());
    Picture out(38, 50);
    for (int32_t on = 0; on < 2; ++on) {
        Canvas canvas(38, 25);
        drawModuleButtonState(canvas.cr(), on != 0);
        out.paste(canvas.keyed(silhouette, ink::well), 0, 25 * on);
    }
    return out;
}

Picture drawWahButton(const Picture& background)
{
    const WahPlate plate;
    checkWahPlate(plate);
    return stateStrip(background, wahButton, 2, [&plate](cairo_t* cr, int32_t on) {
        const double w = wahButton.width(), h = wahButton.height();
        roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 3.5);
        chromeGradient(cr, 0, 0, 0, h);
        cairo_fill(cr);
        cairo_arc(cr, plate.ledX, plate.ledY, plate.ledSocketRadius, 0, 2 * pi);
        setColour(cr, ink::ledSocket);
        cairo_fill(cr);
        roundedRect(cr, plate.left, plate.top, plate.right - plate.left, plate.bottom - plate.top, 2.5);
        if (on) {
            fillVertical(cr, plate.top, plate.bottom, {255, 214, 120}, {226, 128, 20});
            setColour(cr, {90, 36, 0});
        } else {
            fillVertical(cr, plate.top, plate.bottom, {62, 62, 68}, {22, 22, 25});
            setColour(cr, {150, 150, 156});
        }
        drawText(cr, Face::CondensedBold, plate.letterSize, plate.word, plate.centre(), plate.baseline);
    });
}

Picture drawBypassButton(const Picture& background)
{
    return stateStrip(background, bypassButton, 2, [](cairo_t* cr, int32_t bypassed) {
        // Housing.
        roundedRect(cr, 3, 1.5, 109, 41, 6);
        setColour(cr, {0, 0, 0}, 0.5);
        cairo_fill(cr);
        roundedRect(cr, 2, 0.5, 109, 41, 6);
        fillVertical(cr, 0.5, 41.5, {58, 58, 64}, {18, 18, 21});
        // Stomp switch: polished cap, pushed down while bypassed.
        const double cx = 22.5, cy = 21, r = 16;
        cairo_arc(cr, cx, cy, r + 1.5, 0, 2 * pi);
        setColour(cr, {8, 8, 9});
        cairo_fill(cr);
        cairo_arc(cr, cx, cy, r, 0, 2 * pi);
        chromeGradient(cr, cx - r, cy - r, cx + r, cy + r);
        cairo_fill(cr);
        const double capRadius = bypassed ? 10.5 : 11.5;
        cairo_arc(cr, cx, cy + (bypassed ? 0.8 : 0), capRadius, 0, 2 * pi);
        const double lift = bypassed ? 0.78 : 1.0;
        fillGradient(cr, cairo_pattern_create_radial(cx - 4, cy - 5, 1, cx, cy, capRadius + 2),
                     {{0, lift, lift, lift}, {0.7, 0.62 * lift, 0.63 * lift, 0.66 * lift}, {1, 0.32, 0.33, 0.36}});
        // Status window.
        const double wx = 44, wy = 7, ww = 62, wh = 28;
        roundedRect(cr, wx, wy, ww, wh, 3);
        setColour(cr, {4, 4, 5});
        cairo_fill(cr);
        const Rgb lit = bypassed ? Rgb{255, 64, 48} : Rgb{90, 240, 110};
        const Rgb dim = bypassed ? Rgb{70, 16, 12} : Rgb{14, 60, 22};
        roundedRect(cr, wx + 2, wy + 2, ww - 4, wh - 4, 2);
        fillGradient(
            cr, cairo_pattern_create_radial(wx + ww / 2, wy + wh / 2, 2, wx + ww / 2, wy + wh / 2, ww / 2),
            {{0, dim.r / 160.0, dim.g / 160.0, dim.b / 160.0}, {1, dim.r / 400.0, dim.g / 400.0, dim.b / 400.0}});
        setColour(cr, lit);
        drawText(cr, Face::SansBold, 11, bypassed ? "BYPASS" : "FX ON", wx + ww / 2, wy + 15, Align::Centre, 0.6);
        setColour(cr, shade(lit, 0.8));
        drawText(cr, Face::CondensedBold, 6, bypassed ? "DRY SIGNAL" : "RACK ACTIVE", wx + ww / 2, wy + 23.5,
                 Align::Centre, 0.6);
    });
}

Picture drawBankButton(const Picture& background)
{
    return stateStrip(background, bankButton, 2, [](cairo_t* cr, int32_t pressed) {
        const double w = bankButton.width(), h = bankButton.height();
        roundedRect(cr, 1, 1.5, w - 1.5, h - 1.5, 4);
        setColour(cr, {0, 0, 0}, 0.45);
        cairo_fill(cr);
        const double push = pressed ? 1 : 0;
        roundedRect(cr, 0.5 + push, 0.5 + push, w - 2, h - 2, 4);
        chromeGradient(cr, 0, 0, w * 0.6, h);
        cairo_fill(cr);
        roundedRect(cr, 3 + push, 3 + push, w - 7, h - 7, 2.5);
        if (pressed)
            fillVertical(cr, 3, h - 4, {26, 26, 30}, {60, 60, 66});
        else
            fillVertical(cr, 3, h - 4, {70, 70, 78}, {24, 24, 28});
        // Folder with an arrow into it.
        const double fx = 9 + push, fy = 9 + push;
        cairo_move_to(cr, fx, fy + 2);
        cairo_line_to(cr, fx + 6, fy + 2);
        cairo_line_to(cr, fx + 8, fy + 4);
        cairo_line_to(cr, fx + 18, fy + 4);
        cairo_line_to(cr, fx + 18, fy + 14);
        cairo_line_to(cr, fx, fy + 14);
        cairo_close_path(cr);
        setColour(cr, pressed ? ink::amber : Rgb{214, 206, 186});
        cairo_fill(cr);
        cairo_move_to(cr, fx + 9, fy - 3);
        cairo_line_to(cr, fx + 9, fy + 9);
        cairo_move_to(cr, fx + 5.5, fy + 5.5);
        cairo_line_to(cr, fx + 9, fy + 9);
        cairo_line_to(cr, fx + 12.5, fy + 5.5);
        setColour(cr, {20, 20, 22});
        cairo_set_line_width(cr, 1.6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    });
}

Picture drawModuleLeds()
{
    Canvas silhouette(8, 8);
    cairo_arc(silhouette.cr(), 4, 4, 3.6, 0, 2 * pi);
    cairo_fill(silhouette.cr());
    Picture out(8, 64);
    for (int32_t level = 0; level < 8; ++level) {
        Canvas canvas(8, 8);
        drawLamp(canvas.cr(), 4, 4, 3.6, level / 7.0);
        out.paste(canvas.keyed(silhouette, ink::ledSocket), 0, 8 * level);
    }
    return out;
}

Picture drawWahLed(const Picture& buttonPixels)
{
    const Box led = leds[5];
    const int32_t x = led.left - wahButton.left, y = led.top - wahButton.top;
    const Picture under = buttonPixels.crop(x, y, led.width(), led.height());
    if (under.pixels != buttonPixels.crop(x, y + wahButton.height(), led.width(), led.height()).pixels)
        throw std::runtime_error("the wah button's lamp socket differs between its states");
    Picture out(led.width(), led.height() * 8);
    for (int32_t level = 0; level < 8; ++level) {
        Canvas canvas(under);
        drawLamp(canvas.cr(), 2.5, 2.5, 2.3, level / 7.0);
        out.paste(canvas.flatten(ink::ledSocket), 0, led.height() * level);
    }
    return out;
}

} // namespace artwork
} // namespace voltara
