#include "tools/artwork/Paint.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace voltara {
namespace artwork {
namespace {

// Fixed font files, so every machine with the same packages draws the same
// pixels.
const char* fontPath(Face face)
{
    switch (face) {
    case Face::Sans: return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case Face::SansBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Face::Condensed: return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf";
    case Face::CondensedBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
    case Face::SerifBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSerifCondensed-Bold.ttf";
    case Face::Display: return "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
    }
    return "";
}

cairo_font_face_t* fontFace(Face face)
{
    static FT_Library library = nullptr;
    static cairo_font_face_t* faces[6] = {};
    const int index = static_cast<int>(face);
    if (faces[index])
        return faces[index];
    if (!library && FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "cannot start FreeType\n");
        std::exit(1);
    }
    FT_Face ftFace;
    if (FT_New_Face(library, fontPath(face), 0, &ftFace) != 0) {
        std::fprintf(stderr, "cannot open the font %s\n", fontPath(face));
        std::exit(1);
    }
    faces[index] = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    return faces[index];
}

void selectFont(cairo_t* cr, Face face, double size)
{
    cairo_set_font_face(cr, fontFace(face));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

uint8_t channel(double v)
{
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

Rgb mix(Rgb a, Rgb b, double t)
{
    return {channel(a.r + (b.r - a.r) * t), channel(a.g + (b.g - a.g) * t), channel(a.b + (b.b - a.b) * t)};
}

Rgb shade(Rgb c, double factor)
{
    if (factor <= 1.0)
        return {channel(c.r * factor), channel(c.g * factor), channel(c.b * factor)};
    return mix(c, {255, 255, 255}, std::min(1.0, factor - 1.0));
}

Picture Picture::crop(int32_t left, int32_t top, int32_t w, int32_t h) const
{
    Picture part(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x)
            part.at(x, y) = at(std::min(left + x, width - 1), std::min(top + y, height - 1));
    }
    return part;
}

void Picture::paste(const Picture& part, int32_t left, int32_t top)
{
    for (int32_t y = 0; y < part.height; ++y) {
        for (int32_t x = 0; x < part.width; ++x) {
            if (left + x >= 0 && left + x < width && top + y >= 0 && top + y < height)
                at(left + x, top + y) = part.at(x, y);
        }
    }
}

Canvas::Canvas(int32_t width, int32_t height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_))
{
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::Canvas(const Picture& picture) : Canvas(picture.width, picture.height)
{
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int32_t y = 0; y < height_; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int32_t x = 0; x < width_; ++x)
            row[x] = 0xff000000u | picture.at(x, y);
    }
    cairo_surface_mark_dirty(surface_);
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Picture Canvas::flatten(Rgb under) const
{
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    Picture out(width_, height_);
    for (int32_t y = 0; y < height_; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int32_t x = 0; x < width_; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            // Premultiplied: colour = source + under x (1 - alpha).
            auto over = [&](uint32_t source, uint8_t base) { return channel(source + base * (255.0 - a) / 255.0); };
            out.at(x, y) =
                Rgb{over(p >> 16 & 0xff, under.r), over(p >> 8 & 0xff, under.g), over(p & 0xff, under.b)}.packed();
        }
    }
    return out;
}

Picture Canvas::keyed(const Canvas& silhouette, Rgb under) const
{
    Picture out = flatten(under);
    for (int32_t y = 0; y < height_; ++y) {
        for (int32_t x = 0; x < width_; ++x) {
            uint32_t& p = out.at(x, y);
            if (silhouette.alphaAt(x, y) == 0)
                p = seeThrough;
            else if (p == seeThrough)
                p = 0xfefefe;
        }
    }
    return out;
}

uint8_t Canvas::alphaAt(int32_t x, int32_t y) const
{
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    return reinterpret_cast<const uint32_t*>(data + y * stride)[x] >> 24;
}

void setColour(cairo_t* cr, Rgb c, double alpha)
{
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void fillGradient(cairo_t* cr, cairo_pattern_t* gradient, std::initializer_list<GradientStop> stops)
{
    for (const GradientStop& stop : stops)
        cairo_pattern_add_color_stop_rgb(gradient, stop.offset, stop.red, stop.green, stop.blue);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void fillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom)
{
    fillGradient(
        cr, cairo_pattern_create_linear(0, y0, 0, y1),
        {{0, top.r / 255.0, top.g / 255.0, top.b / 255.0}, {1, bottom.r / 255.0, bottom.g / 255.0, bottom.b / 255.0}});
}

double textWidth(cairo_t* cr, Face face, double size, const std::string& text, double tracking)
{
    selectFont(cr, face, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    size_t letters = 0;
    for (char c : text)
        letters += (uint8_t(c) & 0xc0) != 0x80;
    return extents.x_advance + tracking * (letters == 0 ? 0 : double(letters - 1));
}

double drawText(cairo_t* cr, Face face, double size, const std::string& text, double x, double y, Align align,
                double tracking)
{
    const double width = textWidth(cr, face, size, text, tracking);
    double left = x;
    if (align == Align::Centre)
        left = x - width / 2;
    else if (align == Align::Right)
        left = x - width;
    // Whole-pixel starts keep hinted small text crisp.
    left = std::round(left);
    if (tracking == 0.0) {
        cairo_move_to(cr, left, y);
        cairo_show_text(cr, text.c_str());
        return width;
    }
    double pen = left;
    for (size_t i = 0; i < text.size();) {
        // One UTF-8 sequence at a time.
        size_t length = 1;
        while (i + length < text.size() && (uint8_t(text[i + length]) & 0xc0) == 0x80)
            ++length;
        const std::string letter = text.substr(i, length);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter.c_str(), &extents);
        cairo_move_to(cr, pen, y);
        cairo_show_text(cr, letter.c_str());
        pen += extents.x_advance + tracking;
        i += length;
    }
    return width;
}

double Noise::next()
{
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ & 0xffffff) / double(0x800000) - 1.0;
}

} // namespace artwork
} // namespace voltara
