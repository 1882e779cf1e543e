#pragma once

#include "tools/artwork/Paint.h"
#include "tools/artwork/PanelLayout.h"

#include <functional>

namespace voltara {
namespace artwork {

// Pieces shared by the switches and buttons.

// One image per state, each drawn over the background under the control's
// place, one under the other.
Picture stateStrip(const Picture& background, const Box& place, int32_t states,
                   const std::function<void(cairo_t*, int32_t)>& draw);
// Polished metal lit from the top left, across x0, y0 .. x1, y1.
void chromeGradient(cairo_t* cr, double x0, double y0, double x1, double y1);
// A hex nut holding a toggle, seen from the front.
void drawNut(cairo_t* cr, double x, double y, double radius);
// A bat-handle lever from the nut at x, y to its tip.
void drawLever(cairo_t* cr, double x, double y, double tipX, double tipY, double baseWidth, double tipRadius);
// A round lamp in a black ring: dark red at brightness 0, glowing red-amber
// at 1.
void drawLamp(cairo_t* cr, double x, double y, double radius, double brightness);
// A rack knob: dark skirt (with grip ridges when knurled), black cap and a
// cream pointer at value 0 .. 1 of the sweep.
void drawKnob(cairo_t* cr, double cx, double cy, double radius, double value, bool knurled);

} // namespace artwork
} // namespace voltara
