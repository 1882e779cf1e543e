#pragma once

#include "tools/artwork/Paint.h"

namespace voltara {
namespace artwork {

// The 600 x 354 frame background: chassis, module panels with their names
// and captions, the wells the controls sit in, the rate display windows, the
// product name and the about plate.
Picture drawBackground();

// A small slotted panel screw centred at x, y.
void drawScrew(cairo_t* cr, double x, double y, double radius, double slotAngle);

} // namespace artwork
} // namespace voltara
