#include "Controls.h"

#include "Style.h"

#include <cmath>

namespace voltara {
namespace artwork {
namespace {

constexpr int32_t knobImages = 128;
const Rgb pointerColour = {246, 240, 224};

void drawKnob(cairo_t* cr, double cx, double cy, double radius, double value, bool knurled)
{
    const double angle = knobAngle(value);
    // Skirt: dark anodised metal, lit from above.
    cairo_arc(cr, cx, cy, radius, 0, 2 * pi);
    cairo_pattern_t* skirt = cairo_pattern_create_linear(0, cy - radius, 0, cy + radius);
    cairo_pattern_add_color_stop_rgb(skirt, 0, 0.42, 0.43, 0.46);
    cairo_pattern_add_color_stop_rgb(skirt, 0.5, 0.20, 0.20, 0.22);
    cairo_pattern_add_color_stop_rgb(skirt, 1, 0.08, 0.08, 0.09);
    cairo_set_source(cr, skirt);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);
    const double cap = radius * (knurled ? 0.74 : 0.70);
    if (knurled) {
        // Grip ridges turn with the knob.
        for (int i = 0; i < 30; ++i) {
            const double a = angle + i * 2 * pi / 30;
            cairo_move_to(cr, cx + (cap + 0.6) * std::cos(a), cy + (cap + 0.6) * std::sin(a));
            cairo_line_to(cr, cx + (radius - 0.7) * std::cos(a), cy + (radius - 0.7) * std::sin(a));
        }
        setColour(cr, {0, 0, 0}, 0.45);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
    // Cap: black with a soft sheen at the top left.
    cairo_arc(cr, cx, cy, cap, 0, 2 * pi);
    cairo_pattern_t* top = cairo_pattern_create_linear(cx - cap, cy - cap, cx + cap, cy + cap);
    cairo_pattern_add_color_stop_rgb(top, 0, 0.30, 0.30, 0.33);
    cairo_pattern_add_color_stop_rgb(top, 1, 0.05, 0.05, 0.06);
    cairo_set_source(cr, top);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(top);
    setColour(cr, {0, 0, 0}, 0.6);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, cap - 0.6, radians(190), radians(260));
    setColour(cr, {255, 255, 255}, 0.22);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    // Pointer: a cream line from near the centre over the skirt.
    const double width = radius > 10 ? 2.2 : 1.6;
    const double inner = radius * 0.18, outer = radius - width * 0.6;
    cairo_move_to(cr, cx + inner * std::cos(angle), cy + inner * std::sin(angle));
    cairo_line_to(cr, cx + outer * std::cos(angle), cy + outer * std::sin(angle));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, {0, 0, 0}, 0.5);
    cairo_set_line_width(cr, width + 1.0);
    cairo_stroke_preserve(cr);
    setColour(cr, pointerColour);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

} // namespace

Picture drawKnobStrip(int32_t size)
{
    const double radius = knobRadius(size);
    Canvas silhouette(size, size);
    cairo_arc(silhouette.cr(), size / 2.0, size / 2.0, radius, 0, 2 * pi);
    cairo_fill(silhouette.cr());

    Picture strip(size, size * knobImages);
    for (int32_t i = 0; i < knobImages; ++i) {
        Canvas canvas(size, size);
        drawKnob(canvas.cr(), size / 2.0, size / 2.0, radius, i / double(knobImages - 1), size > 20);
        strip.paste(canvas.keyed(silhouette, ink::well), 0, i * size);
    }
    return strip;
}

} // namespace artwork
} // namespace voltara
