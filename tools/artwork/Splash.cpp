#include "Controls.h"

#include "Style.h"

namespace voltara {
namespace artwork {

Picture drawSplash()
{
    Canvas canvas(400, 240);
    setColour(canvas.cr(), {20, 20, 24});
    cairo_paint(canvas.cr());
    setColour(canvas.cr(), ink::silkscreen);
    drawText(canvas.cr(), Face::SansBold, 28, "AW Voltara FX", 200, 120);
    return canvas.flatten({0, 0, 0});
}

} // namespace artwork
} // namespace voltara
