#include "tools/artwork/Parts.h"

#include "tools/artwork/Style.h"

#include <algorithm>
#include <cmath>

namespace voltara {
namespace artwork {

Picture stateStrip(const Picture& background, const Box& place, int32_t states,
                   const std::function<void(cairo_t*, int32_t)>& draw)
{
    Picture out(place.width(), place.height() * states);
    for (int32_t state = 0; state < states; ++state) {
        Canvas canvas(background.crop(place.left, place.top, place.width(), place.height()));
        draw(canvas.cr(), state);
        out.paste(canvas.flatten(ink::well), 0, state * place.height());
    }
    return out;
}

void chromeGradient(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_pattern_t* metal = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(metal, 0, 0.55, 0.56, 0.60);
    cairo_pattern_add_color_stop_rgb(metal, 0.35, 0.97, 0.97, 0.98);
    cairo_pattern_add_color_stop_rgb(metal, 0.6, 0.70, 0.71, 0.74);
    cairo_pattern_add_color_stop_rgb(metal, 1, 0.30, 0.31, 0.34);
    cairo_set_source(cr, metal);
    cairo_pattern_destroy(metal);
}

void drawNut(cairo_t* cr, double x, double y, double radius)
{
    cairo_arc(cr, x + 0.5, y + 0.8, radius + 0.8, 0, 2 * pi);
    setColour(cr, {0, 0, 0}, 0.5);
    cairo_fill(cr);
    for (int i = 0; i < 6; ++i) {
        const double a = radians(30 + 60 * i);
        if (i == 0)
            cairo_move_to(cr, x + radius * std::cos(a), y + radius * std::sin(a));
        else
            cairo_line_to(cr, x + radius * std::cos(a), y + radius * std::sin(a));
    }
    cairo_close_path(cr);
    chromeGradient(cr, x - radius, y - radius, x + radius, y + radius);
    cairo_fill_preserve(cr);
    setColour(cr, {0, 0, 0}, 0.55);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    cairo_arc(cr, x, y, radius * 0.45, 0, 2 * pi);
    setColour(cr, {40, 40, 44});
    cairo_fill(cr);
}

void drawLever(cairo_t* cr, double x, double y, double tipX, double tipY, double baseWidth, double tipRadius)
{
    const double dx = tipX - x, dy = tipY - y;
    const double length = std::hypot(dx, dy);
    // Shadow falls down and to the right.
    cairo_move_to(cr, x + 1, y + 1.5);
    cairo_line_to(cr, tipX + 1, tipY + 1.5);
    setColour(cr, {0, 0, 0}, 0.35);
    cairo_set_line_width(cr, baseWidth + 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    if (length > 0.5) {
        const double nx = -dy / length, ny = dx / length;
        cairo_move_to(cr, x + nx * baseWidth / 2, y + ny * baseWidth / 2);
        cairo_line_to(cr, tipX + nx * tipRadius * 0.8, tipY + ny * tipRadius * 0.8);
        cairo_line_to(cr, tipX - nx * tipRadius * 0.8, tipY - ny * tipRadius * 0.8);
        cairo_line_to(cr, x - nx * baseWidth / 2, y - ny * baseWidth / 2);
        cairo_close_path(cr);
        chromeGradient(cr, x + nx * baseWidth, y + ny * baseWidth, x - nx * baseWidth, y - ny * baseWidth);
        cairo_fill(cr);
    }
    cairo_arc(cr, tipX, tipY, tipRadius, 0, 2 * pi);
    fillGradient(cr,
                 cairo_pattern_create_radial(tipX - tipRadius * 0.35, tipY - tipRadius * 0.4, 0, tipX, tipY, tipRadius),
                 {{0, 1, 1, 1}, {0.5, 0.78, 0.79, 0.82}, {1, 0.36, 0.37, 0.40}});
}

void drawLamp(cairo_t* cr, double x, double y, double radius, double brightness)
{
    cairo_arc(cr, x, y, radius + 0.7, 0, 2 * pi);
    setColour(cr, {0, 0, 0});
    cairo_fill(cr);
    const Rgb centre = mix({104, 44, 30}, {255, 240, 196}, brightness);
    const Rgb middle = mix({58, 16, 10}, {255, 128, 30}, brightness);
    const Rgb edge = mix({26, 6, 4}, {206, 44, 8}, brightness);
    cairo_arc(cr, x, y, radius, 0, 2 * pi);
    fillGradient(cr, cairo_pattern_create_radial(x - radius * 0.25, y - radius * 0.3, 0, x, y, radius),
                 {{0, centre.r / 255.0, centre.g / 255.0, centre.b / 255.0},
                  {0.45, middle.r / 255.0, middle.g / 255.0, middle.b / 255.0},
                  {1, edge.r / 255.0, edge.g / 255.0, edge.b / 255.0}});
}

void drawKnob(cairo_t* cr, double cx, double cy, double radius, double value, bool knurled)
{
    const double angle = knobAngle(value);
    // Skirt: dark anodised metal, lit from above.
    cairo_arc(cr, cx, cy, radius, 0, 2 * pi);
    fillGradient(cr, cairo_pattern_create_linear(0, cy - radius, 0, cy + radius),
                 {{0, 0.42, 0.43, 0.46}, {0.5, 0.20, 0.20, 0.22}, {1, 0.08, 0.08, 0.09}});
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
    const double width = radius > 10 ? std::max(2.2, radius * 0.08) : 1.6;
    const double inner = radius * 0.18, outer = radius - width * 0.6;
    cairo_move_to(cr, cx + inner * std::cos(angle), cy + inner * std::sin(angle));
    cairo_line_to(cr, cx + outer * std::cos(angle), cy + outer * std::sin(angle));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, {0, 0, 0}, 0.5);
    cairo_set_line_width(cr, width + 1.0);
    cairo_stroke_preserve(cr);
    setColour(cr, {246, 240, 224});
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

} // namespace artwork
} // namespace voltara
