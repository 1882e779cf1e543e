#pragma once

#include "resources/DibFile.h"
#include "tools/artwork/Paint.h"

#include <cstdint>
#include <vector>

namespace voltara {
namespace artwork {

struct GeneratedBitmap {
    int32_t id;
    DibImage image;
};

// Draws the sixteen editor bitmaps in the sizes and pixel formats of the
// bitmap table, 8-bit ones with palettes of their own. Throws
// std::runtime_error when a picture does not fit its table entry.
std::vector<GeneratedBitmap> generateArtwork();

// The colours of a bitmap as a picture.
Picture toPicture(const DibImage& image);

} // namespace artwork
} // namespace voltara
