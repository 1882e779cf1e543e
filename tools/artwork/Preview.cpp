#include "tools/artwork/Preview.h"

#include "resources/BitmapTable.h"
#include "resources/DibFile.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Paint.h"
#include "tools/artwork/PanelLayout.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace voltara {
namespace artwork {
namespace {

using BitmapSet = std::map<int32_t, DibImage>;

bool loadBitmaps(const std::string& dir, BitmapSet& bitmaps, std::string& error)
{
    for (const BitmapEntry& entry : bitmapTable) {
        const std::string path = dir + "/" + std::to_string(entry.id) + ".bmp";
        std::vector<uint8_t> bytes;
        if (!readFileBytes(path, bytes)) {
            error = "cannot read " + path;
            return false;
        }
        if (!decodeDib(bytes, bitmaps[entry.id], error)) {
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

namespace {

// What the preview shows: a rack in use, or one at rest.
struct PanelState {
    double knobs[16];
    double wahRate, wahReso;
    bool levers[6];  // wah, phaser, flanger, delay, tremolo sync; reverb first
    bool modules[7]; // filter, phaser, chorus, delay, reverb, tremolo, flanger
    int32_t filterMode, chorusMode, delayMode, reverbMode;
    int32_t pedalImage;
    bool wahOn, bankPressed, bypassed;
    int32_t ledLevels[6]; // filter, phaser, flanger, chorus, tremolo, wah
    const char* texts[6]; // phaser, flanger, delay, reverb, tremolo, wah
};

constexpr PanelState playing = {
    {0.0, 0.42, 0.71, 0.13, 0.55, 0.84, 0.27, 0.5, 0.63, 0.92, 0.35, 0.2, 0.76, 0.48, 0.6, 1.0},
    0.35,
    0.7,
    {true, true, false, true, false, true},
    {true, true, true, true, true, true, false},
    1,
    0,
    1,
    2,
    7, // half way
    true,
    false,
    false,
    {3, 7, 0, 5, 6, 4},
    {"1/8D", "0.35", "420", "2.45", "6.40", "1/16"},
};

constexpr PanelState resting = {
    {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5},
    0.0,
    1.0,
    {false, false, true, false, true, false},
    {false, false, false, false, false, false, false},
    0,
    1,
    3,
    0,
    15, // toe down
    false,
    true,
    true,
    {0, 0, 0, 0, 0, 0},
    {"0.71", "1/4", "1/4T", "2.69", "1/8", "0.00"},
};

} // namespace

bool writePreview(const std::string& bitmapDir, const std::string& pngPath, const PreviewOptions& options,
                  std::string& error)
{
    BitmapSet bitmaps;
    if (!loadBitmaps(bitmapDir, bitmaps, error))
        return false;
    const PanelState& state = options.resting ? resting : playing;
    Picture window = toPicture(bitmaps[153]);
    auto image = [&](int32_t id, const Box& box, int32_t index, bool keyed) {
        blit(window, bitmaps[id], box, 0, index * box.height(), keyed);
    };

    for (size_t i = 0; i < std::size(smallKnobs); ++i)
        blit(window, bitmaps[157], smallKnobs[i].box, 0, knobImageTop(state.knobs[i], 18), true);
    blit(window, bitmaps[158], largeKnobs[0].box, 0, knobImageTop(state.wahRate, 27), true);
    blit(window, bitmaps[158], largeKnobs[1].box, 0, knobImageTop(state.wahReso, 27), true);
    for (size_t i = 0; i < std::size(leverSwitches); ++i)
        image(159, leverSwitches[i].box, state.levers[i], false);
    for (size_t i = 0; i < std::size(moduleButtons); ++i)
        image(164, moduleButtons[i], state.modules[i], true);
    image(161, filterMode, state.filterMode, false);
    image(160, chorusMode, state.chorusMode, false);
    image(163, delayMode, state.delayMode, false);
    image(162, reverbMode, state.reverbMode, false);
    blit(window, bitmaps[165], wahPedal, 132 * (state.pedalImage % 8), 260 * (state.pedalImage / 8), false);
    image(170, wahButton, state.wahOn, false);
    image(167, bankButton, state.bankPressed, false);
    image(166, bypassButton, state.bypassed, false);
    for (int32_t i = 0; i < 5; ++i)
        blit(window, bitmaps[171], leds[i], 0, 8 * state.ledLevels[i], true);
    blit(window, bitmaps[172], leds[5], 0, 5 * state.ledLevels[5], false);

    Canvas canvas(window);
    for (size_t i = 0; i < std::size(rateDisplays); ++i)
        drawDisplayText(canvas.cr(), rateDisplays[i], state.texts[i]);
    window = canvas.flatten({0, 0, 0});
    if (options.splash)
        blit(window, bitmaps[139], splashPicture, 0, 0, false);
    writeScaled(window, options.zoom, pngPath, error);
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
    for (const BitmapEntry& entry : bitmapTable) {
        if (onlyId ? entry.id != onlyId : entry.id == 139 || entry.id == 153)
            continue;
        const int32_t columns = std::min(entry.imageCount, perRow);
        const int32_t rows = (entry.imageCount + perRow - 1) / perRow;
        width = std::max(width, gap + columns * (entry.imageWidth + gap));
        height += rows * (entry.imageHeight + gap) + gap;
    }
    Picture sheet(width, height, 0x505258);
    int32_t top = gap;
    for (const BitmapEntry& entry : bitmapTable) {
        if (onlyId ? entry.id != onlyId : entry.id == 139 || entry.id == 153)
            continue;
        const DibImage& bitmap = bitmaps[entry.id];
        const int32_t perSourceRow = bitmap.width / entry.imageWidth;
        for (int32_t i = 0; i < entry.imageCount; ++i) {
            const int32_t sx = entry.imageWidth * (i % perSourceRow), sy = entry.imageHeight * (i / perSourceRow);
            const int32_t left = gap + (i % perRow) * (entry.imageWidth + gap);
            const int32_t y0 = top + (i / perRow) * (entry.imageHeight + gap);
            for (int32_t y = 0; y < entry.imageHeight; ++y) {
                for (int32_t x = 0; x < entry.imageWidth; ++x) {
                    const uint32_t colour = bitmap.colourAt(sx + x, sy + y);
                    sheet.at(left + x, y0 + y) = entry.transparent && colour == seeThrough ? 0xff00ff : colour;
                }
            }
        }
        top += (entry.imageCount + perRow - 1) / perRow * (entry.imageHeight + gap) + gap;
    }
    writeScaled(sheet, zoom, pngPath, error);
    return error.empty();
}

} // namespace artwork
} // namespace voltara
