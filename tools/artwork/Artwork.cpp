#include "tools/artwork/Artwork.h"

#include "resources/BitmapTable.h"
#include "tools/artwork/Background.h"
#include "tools/artwork/Controls.h"
#include "tools/artwork/Quantiser.h"
#include "tools/artwork/Style.h"

#include <stdexcept>
#include <string>

namespace voltara {
namespace artwork {
namespace {

// Colours that must come out exactly, so strips meet the 24-bit background
// and the lamps meet their sockets without a seam.
std::vector<uint32_t> seamColours()
{
    std::vector<uint32_t> colours = {ink::well.packed(), ink::ledSocket.packed(), wahEnamel.packed(),
                                     masterEnamel.packed()};
    for (const ModulePanel& module : modulePanels)
        colours.push_back(module.enamel.packed());
    return colours;
}

DibImage toDib(int32_t id, const Picture& picture)
{
    const BitmapEntry* entry = findBitmap(id);
    if (!entry || picture.width != entry->width || picture.height != entry->height)
        throw std::runtime_error("bitmap " + std::to_string(id) + " was drawn in the wrong size");
    DibImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.bitsPerPixel = entry->bitsPerPixel;
    image.runLengthCoded = entry->runLengthCoded;
    if (entry->bitsPerPixel == 24) {
        image.pixels.reserve(picture.pixels.size() * 3);
        for (uint32_t colour : picture.pixels) {
            image.pixels.push_back(uint8_t(colour >> 16));
            image.pixels.push_back(uint8_t(colour >> 8));
            image.pixels.push_back(uint8_t(colour));
        }
        return image;
    }
    QuantiserSettings settings;
    settings.keep = seamColours();
    settings.whiteIsTransparent = entry->transparent;
    const IndexedPicture indexed = quantise(picture, settings);
    image.palette = indexed.palette;
    image.pixels = indexed.indices;
    return image;
}

// A see-through strip is smoothed against one colour: the background must
// show exactly that colour under its silhouette at every place it is used.
void requireFlatUnder(const Picture& background, const Picture& strip, int32_t size, const Box& place, Rgb under,
                      int32_t id)
{
    for (int32_t y = 0; y < place.height(); ++y) {
        for (int32_t x = 0; x < size; ++x) {
            if (strip.at(x, y) != seeThrough && background.at(place.left + x, place.top + y) != under.packed())
                throw std::runtime_error("the background is not flat under bitmap " + std::to_string(id) + " at "
                                         + std::to_string(place.left) + ", " + std::to_string(place.top));
        }
    }
}

} // namespace

Picture toPicture(const DibImage& image)
{
    Picture picture(image.width, image.height);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x)
            picture.at(x, y) = image.colourAt(x, y);
    }
    return picture;
}

std::vector<GeneratedBitmap> generateArtwork()
{
    const Picture background = drawBackground();
    std::vector<GeneratedBitmap> out;
    auto add = [&](int32_t id, const Picture& picture) {
        out.push_back({id, toDib(id, picture)});
        return toPicture(out.back().image);
    };
    add(139, drawSplash());
    add(153, background);
    const Picture smallKnob = add(157, drawKnobStrip(18));
    const Picture largeKnob = add(158, drawKnobStrip(27));
    for (const Placement& knob : smallKnobs)
        requireFlatUnder(background, smallKnob, 18, knob.box, ink::well, 157);
    for (const Placement& knob : largeKnobs)
        requireFlatUnder(background, largeKnob, 27, knob.box, ink::well, 158);
    add(159, drawSyncSwitch(background));
    add(160, drawChorusModeSwitch(background));
    add(161, drawFilterModeSwitch(background));
    add(162, drawReverbModeSwitch(background));
    add(163, drawDelayModeSwitch(background));
    const Picture moduleButton = add(164, drawModuleButton());
    for (const Box& button : moduleButtons)
        requireFlatUnder(background, moduleButton, button.width(), button, ink::well, 164);
    add(165, drawWahPedal(background));
    add(166, drawBypassButton(background));
    add(167, drawBankButton(background));
    const Picture wahButtonAsStored = add(170, drawWahButton(background));
    add(171, drawModuleLeds());
    add(172, drawWahLed(wahButtonAsStored));
    return out;
}

} // namespace artwork
} // namespace voltara
