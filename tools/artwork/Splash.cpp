#include "tools/artwork/Controls.h"

#include "tools/artwork/Parts.h"
#include "tools/artwork/Style.h"

#include <cmath>

namespace voltara {
namespace artwork {
namespace {

constexpr int32_t width = 400, height = 240;

// A large rack knob with a lit scale: the splash's emblem.
void drawEmblem(cairo_t* cr, double cx, double cy, double radius)
{
    // Glowing scale.
    for (int i = 0; i <= 30; ++i) {
        const double angle = knobAngle(i / 30.0);
        const bool major = i % 5 == 0;
        const double inner = radius + 7, outer = radius + (major ? 17 : 12);
        const double glow = i / 30.0;
        cairo_move_to(cr, cx + inner * std::cos(angle), cy + inner * std::sin(angle));
        cairo_line_to(cr, cx + outer * std::cos(angle), cy + outer * std::sin(angle));
        setColour(cr, mix({120, 60, 20}, ink::amber, 0.35 + 0.65 * glow));
        cairo_set_line_width(cr, major ? 2.4 : 1.4);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
    cairo_arc(cr, cx, cy, radius + 4, 0, 2 * pi);
    setColour(cr, ink::well);
    cairo_fill(cr);
    drawKnob(cr, cx, cy, radius, 0.78, true);
}

// A guitar note turning into a swept, modulated wave across the bottom.
void drawWave(cairo_t* cr, double y, double amplitude)
{
    for (int pass = 0; pass < 2; ++pass) {
        for (int x = 14; x <= width - 14; ++x) {
            const double t = (x - 14) / double(width - 28);
            const double envelope = std::sin(pi * t) * (0.35 + 0.65 * std::exp(-3 * t));
            const double wave = std::sin(2 * pi * (6 * t + 9 * t * t)) * (0.75 + 0.25 * std::sin(2 * pi * 3 * t));
            const double v = y - amplitude * envelope * wave;
            if (x == 14)
                cairo_move_to(cr, x, v);
            else
                cairo_line_to(cr, x, v);
        }
        if (pass == 0) {
            setColour(cr, ink::amber, 0.18);
            cairo_set_line_width(cr, 5);
        } else {
            setColour(cr, {255, 214, 140});
            cairo_set_line_width(cr, 1.3);
        }
        cairo_stroke(cr);
    }
}

} // namespace

Picture drawSplash()
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    cairo_rectangle(cr, 0, 0, width, height);
    fillVertical(cr, 0, height, {40, 40, 46}, {12, 12, 14});
    // Frame: a chrome edge around a black inner line.
    cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
    setColour(cr, {170, 172, 178});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 3.5, 3.5, width - 7, height - 7);
    setColour(cr, {80, 80, 88});
    cairo_stroke(cr);

    drawEmblem(cr, 92, 98, 52);

    const double x = 272;
    setColour(cr, ink::amber);
    drawText(cr, Face::SansBold, 12, "AW", x, 46, Align::Centre, 5);
    setColour(cr, ink::silkscreen);
    drawText(cr, Face::SerifBold, 46, "Voltara", x, 94, Align::Centre, 0.5);
    setColour(cr, ink::amber);
    drawText(cr, Face::SansBold, 18, "FX", x, 120, Align::Centre, 6);
    setColour(cr, ink::dimSilkscreen);
    drawText(cr, Face::CondensedBold, 9, "GUITAR EFFECT RACK", x, 140, Align::Centre, 2);
    setColour(cr, ink::silkscreen);
    drawText(cr, Face::Sans, 11, "Version 1.0", x, 162, Align::Centre);
    drawText(cr, Face::SansBold, 11, "Quillet / Brenmark", x, 178, Align::Centre);

    drawWave(cr, 206, 14);
    setColour(cr, {120, 120, 128});
    drawText(cr, Face::Condensed, 8, "click to close", width - 12, height - 9, Align::Right);
    return canvas.flatten({0, 0, 0});
}

} // namespace artwork
} // namespace voltara
