#pragma once

#include "tools/artwork/Paint.h"

#include <cstdint>
#include <vector>

namespace voltara {
namespace artwork {

// Turns an opaque picture into at most 256 palette colours, the same way on
// every run: frequent flat colours and the ones asked for are kept exactly,
// the rest are found by median cut refined with a few k-means passes, and
// pixels are mapped with light error diffusion.
struct QuantiserSettings {
    // Kept exactly (seams that must match the 24-bit background).
    std::vector<uint32_t> keep;
    // When set, pure white marks see-through pixels: only pixels that are
    // exactly white map to it, and no other palette colour becomes white.
    bool whiteIsTransparent = false;
    // 0 maps each pixel to its nearest colour; 1 diffuses the whole error.
    double diffusion = 0.6;
    int32_t maxColours = 256;
};

struct IndexedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> palette; // 0xRRGGBB
    std::vector<uint8_t> indices;  // top row first
};

IndexedPicture quantise(const Picture& picture, const QuantiserSettings& settings);

} // namespace artwork
} // namespace voltara
