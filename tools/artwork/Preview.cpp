#include "Preview.h"

#include "Paint.h"
#include "PanelLayout.h"
#include "resources/BitmapTable.h"
#include "resources/DibFile.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace voltara {
namespace artwork {
namespace {

using BitmapSet = std::map<int32_t, DibImage>;

bool loadBitmaps(const std::string& dir, BitmapSet& bitmaps, std::string& error)
{
    for (const BitmapSpec& spec : bitmapTable) {
        const std::string path = dir + "/" + std::to_string(spec.id) + ".bmp";
        std::vector<uint8_t> bytes;
        if (!readFileBytes(path, bytes)) {
            error = "cannot read " + path;
            return false;
        }
        if (!decodeDib(bytes, bitmaps[spec.id], error)) {
            error = path + ": " + error;
            return false;
        }
    }
    return true;
}

// Copies one image of a bitmap to the window, as a bitmap draw does.
void blit(Picture& window, const DibImage& bitmap, const Box& to, int32_t sourceX, int32_t sourceY, bool keyed)
{
    for (int32_t y = 0; y < to.height(); ++y) {
        for (int32_t x = 0; x < to.width(); ++x) {
            const int32_t wx = to.left + x, wy = to.top + y;
            const int32_t bx = sourceX + x, by = sourceY + y;
            if (wx >= window.width || wy >= window.height || bx >= bitmap.width || by >= bitmap.height)
                continue;
            const uint32_t colour = bitmap.colourAt(bx, by);
            if (!keyed || colour != seeThrough)
                window.at(wx, wy) = colour;
        }
    }
}

Picture toPicture(const DibImage& image)
{
    Picture picture(image.width, image.height);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x)
            picture.at(x, y) = image.colourAt(x, y);
    }
    return picture;
}

// A knob's image for a value, as the filmstrip knob picks it.
int32_t knobImageTop(double value, int32_t imageHeight)
{
    const int32_t y = int32_t((127 * imageHeight) * value);
    return y - y % imageHeight;
}

// Black 9-pixel text centred in the display, as the rate displays draw it.
void drawDisplayText(cairo_t* cr, const Box& box, const char* text)
{
    setColour(cr, {0, 0, 0});
    cairo_font_extents_t font;
    textWidth(cr, Face::Display, 9, text);
    cairo_font_extents(cr, &font);
    const double baseline = box.top + (box.height() - (font.ascent + font.descent)) / 2 + font.ascent;
    drawText(cr, Face::Display, 9, text, box.centreX(), std::round(baseline));
}

void writeScaled(const Picture& picture, int zoom, const std::string& path, std::string& error)
{
    Canvas source(picture);
    Canvas scaled(picture.width * zoom, picture.height * zoom);
    cairo_scale(scaled.cr(), zoom, zoom);
    cairo_set_source_surface(scaled.cr(), source.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(scaled.cr()), CAIRO_FILTER_NEAREST);
    cairo_paint(scaled.cr());
    if (cairo_surface_write_to_png(scaled.surface(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        error = "cannot write " + path;
}

} // namespace

bool writePreview(const std::string& bitmapDir, const std::string& pngPath, int zoom, bool splash, std::string& error)
{
    BitmapSet bitmaps;
    if (!loadBitmaps(bitmapDir, bitmaps, error))
        return false;
    Picture window = toPicture(bitmaps[153]);
    auto image = [&](int32_t id, const Box& box, int32_t index, bool keyed) {
        blit(window, bitmaps[id], box, 0, index * box.height(), keyed);
    };

    // Knobs at a spread of positions, both ends included.
    int32_t n = 0;
    for (const Placement& knob : smallKnobs) {
        const double value = std::fmod(0.13 + 0.29 * n++, 1.0);
        blit(window, bitmaps[157], knob.box, 0, knobImageTop(n == 1 ? 0.0 : n == 16 ? 1.0 : value, 18), true);
    }
    blit(window, bitmaps[158], largeKnobs[0].box, 0, knobImageTop(0.35, 27), true);
    blit(window, bitmaps[158], largeKnobs[1].box, 0, knobImageTop(0.7, 27), true);

    // Sync on for the phaser, delay and wah; the reverb runs first.
    const bool leverOn[] = {true, true, false, true, false, true};
    for (size_t i = 0; i < std::size(leverSwitches); ++i)
        image(159, leverSwitches[i].box, leverOn[i], false);
    // Filter, phaser, chorus, delay, reverb, tremolo on; flanger off.
    const bool moduleOn[] = {true, true, true, true, true, true, false};
    for (size_t i = 0; i < std::size(moduleButtons); ++i)
        image(164, moduleButtons[i], moduleOn[i], true);
    image(161, filterMode, 1, false);
    image(160, chorusMode, 0, false);
    image(163, delayMode, 1, false);
    image(162, reverbMode, 2, false);
    // The pedal half way: image 7, eighth of the top row.
    blit(window, bitmaps[165], wahPedal, 132 * 7, 0, false);
    image(170, wahButton, 1, false);
    image(167, bankButton, 0, false);
    image(166, bypassButton, 0, false);

    // LEDs: filter, phaser, flanger (off), chorus, tremolo, wah.
    const int32_t ledLevel[] = {3, 7, 0, 5, 6, 4};
    for (int32_t i = 0; i < 5; ++i)
        blit(window, bitmaps[171], leds[i], 0, 8 * ledLevel[i], true);
    blit(window, bitmaps[172], leds[5], 0, 5 * ledLevel[5], false);

    Canvas canvas(window);
    // Phaser, flanger, delay, reverb, tremolo, wah.
    const char* texts[] = {"1/8D", "0.35", "420", "2.45", "6.40", "1/16"};
    for (size_t i = 0; i < std::size(rateDisplays); ++i)
        drawDisplayText(canvas.cr(), rateDisplays[i], texts[i]);
    window = canvas.flatten({0, 0, 0});
    if (splash)
        blit(window, bitmaps[139], splashPicture, 0, 0, false);
    writeScaled(window, zoom, pngPath, error);
    return error.empty();
}

bool writeStripSheet(const std::string& bitmapDir, const std::string& pngPath, int zoom, int32_t onlyId,
                     std::string& error)
{
    BitmapSet bitmaps;
    if (!loadBitmaps(bitmapDir, bitmaps, error))
        return false;
    // Images side by side in rows of up to 32, strips one under the other.
    const int32_t perRow = onlyId == 165 ? 8 : 32, gap = 4;
    int32_t width = 0, height = gap;
    for (const BitmapSpec& spec : bitmapTable) {
        if (onlyId ? spec.id != onlyId : spec.id == 139 || spec.id == 153)
            continue;
        const int32_t columns = std::min(spec.imageCount, perRow);
        const int32_t rows = (spec.imageCount + perRow - 1) / perRow;
        width = std::max(width, gap + columns * (spec.imageWidth + gap));
        height += rows * (spec.imageHeight + gap) + gap;
    }
    Picture sheet(width, height, 0x505258);
    int32_t top = gap;
    for (const BitmapSpec& spec : bitmapTable) {
        if (onlyId ? spec.id != onlyId : spec.id == 139 || spec.id == 153)
            continue;
        const DibImage& bitmap = bitmaps[spec.id];
        const int32_t perSourceRow = bitmap.width / spec.imageWidth;
        for (int32_t i = 0; i < spec.imageCount; ++i) {
            const int32_t sx = spec.imageWidth * (i % perSourceRow), sy = spec.imageHeight * (i / perSourceRow);
            const int32_t left = gap + (i % perRow) * (spec.imageWidth + gap);
            const int32_t y0 = top + (i / perRow) * (spec.imageHeight + gap);
            for (int32_t y = 0; y < spec.imageHeight; ++y) {
                for (int32_t x = 0; x < spec.imageWidth; ++x) {
                    const uint32_t colour = bitmap.colourAt(sx + x, sy + y);
                    sheet.at(left + x, y0 + y) = spec.transparent && colour == seeThrough ? 0xff00ff : colour;
                }
            }
        }
        top += (spec.imageCount + perRow - 1) / perRow * (spec.imageHeight + gap) + gap;
    }
    writeScaled(sheet, zoom, pngPath, error);
    return error.empty();
}

} // namespace artwork
} // namespace voltara
