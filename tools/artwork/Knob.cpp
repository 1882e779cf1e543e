#include "tools/artwork/Controls.h"

#include "tools/artwork/Parts.h"
#include "tools/artwork/Style.h"

#include <cmath>

namespace voltara {
namespace artwork {
namespace {

constexpr int32_t knobImages = 128;
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
