#pragma once

#include "common/MouseBits.h"
#include "platform/Handles.h"

#include <cstdint>

// The toolkit's value types, colours and mouse-state flags.

namespace voltara {

struct Point {
    int32_t h = 0;
    int32_t v = 0;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

// Red, green, blue and a fourth byte that never reaches the drawing layer.
struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t unused = 0;
};

inline bool sameColour(const Colour& a, const Colour& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

inline platform::ColourRef toColourRef(const Colour& colour)
{
    return platform::rgb(colour.red, colour.green, colour.blue);
}

namespace colours {
constexpr Colour transparentDefault{255, 255, 255, 0}; // the transparent colour of bitmaps
constexpr Colour black{0, 0, 0, 0};
constexpr Colour white{255, 255, 255, 0};
constexpr Colour grey{127, 127, 127, 0};
constexpr Colour red{255, 0, 0, 0};
constexpr Colour green{0, 255, 0, 0};
constexpr Colour blue{0, 0, 255, 0};
constexpr Colour yellow{255, 255, 0, 0};
constexpr Colour magenta{255, 0, 255, 0};
constexpr Colour cyan{0, 255, 255, 0};
} // namespace colours

// Buttons and modifiers held, as queryMouseButtons reports them.
enum MouseState : int32_t {
    mouseLeft = int32_t(MouseBits::left),
    mouseMiddle = int32_t(MouseBits::middle),
    mouseRight = int32_t(MouseBits::right),
    mouseShift = int32_t(MouseBits::shift),
    mouseControl = int32_t(MouseBits::control),
    mouseAlt = int32_t(MouseBits::alt),
};

} // namespace voltara
