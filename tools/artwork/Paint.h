#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace voltara {
namespace artwork {

struct Rgb {
    uint8_t r, g, b;
    uint32_t packed() const { return static_cast<uint32_t>(r) << 16 | g << 8 | b; }
    static Rgb fromPacked(uint32_t c) { return {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)}; }
};

// The see-through colour of transparent strips.
inline constexpr uint32_t seeThrough = 0xffffff;

// Mixes a toward b by t (0 .. 1).
Rgb mix(Rgb a, Rgb b, double t);
// Scales brightness: factor below 1 darkens, above 1 lightens toward white.
Rgb shade(Rgb c, double factor);

// An opaque picture, one 0xRRGGBB per pixel, top row first.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    Picture() = default;
    Picture(int32_t w, int32_t h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& at(int32_t x, int32_t y) { return pixels[size_t(y) * width + x]; }
    uint32_t at(int32_t x, int32_t y) const { return pixels[size_t(y) * width + x]; }
    Picture crop(int32_t left, int32_t top, int32_t w, int32_t h) const;
    void paste(const Picture& part, int32_t left, int32_t top);
};

// A cairo drawing surface of its own size with its context.
class Canvas {
public:
    Canvas(int32_t width, int32_t height);
    // Starts from a picture (opaque).
    explicit Canvas(const Picture& picture);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

    // Every pixel composited over a flat colour.
    Picture flatten(Rgb under) const;
    // For strips drawn with a see-through colour: pure white where the
    // silhouette has no coverage, the drawing over the colour it will sit on
    // everywhere else (never pure white there). One silhouette for every
    // image of a strip, so a new image covers every pixel of the old one.
    Picture keyed(const Canvas& silhouette, Rgb under) const;
    // Coverage 0 .. 255 of one pixel.
    uint8_t alphaAt(int32_t x, int32_t y) const;

private:
    int32_t width_;
    int32_t height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Sans faces for panel print, a condensed serif for the product name, and
// an Arial-like face for the rate displays in previews.
enum class Face { Sans, SansBold, Condensed, CondensedBold, SerifBold, Display };

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A colour stop of a gradient: where (0 .. 1), red, green, blue (0 .. 1).
struct GradientStop {
    double offset, red, green, blue;
};
// Fills the current path with the gradient through the stops, then releases
// the gradient.
void fillGradient(cairo_t* cr, cairo_pattern_t* gradient, std::initializer_list<GradientStop> stops);
// A vertical linear gradient over y0 .. y1.
void fillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);

enum class Align { Left, Centre, Right };
// Draws text with its baseline at y; tracking widens the letter spacing by
// that many pixels. Answers the drawn width.
double drawText(cairo_t* cr, Face face, double size, const std::string& text, double x, double y,
                Align align = Align::Centre, double tracking = 0.0);
double textWidth(cairo_t* cr, Face face, double size, const std::string& text, double tracking = 0.0);

// Repeatable pseudo-random numbers for textures.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    // -1 .. 1
    double next();

private:
    uint32_t state_;
};

constexpr double pi = 3.14159265358979323846;
inline double radians(double degrees)
{
    return degrees * pi / 180.0;
}

} // namespace artwork
} // namespace voltara
