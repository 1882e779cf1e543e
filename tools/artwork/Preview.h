#pragma once

#include <cstdint>
#include <string>

namespace voltara {
namespace artwork {

struct PreviewOptions {
    int zoom = 1;
    bool splash = false;  // the splash picture open over the panel
    bool resting = false; // all modules off, bypassed, pedal toe down
};

// Composites the editor from the bitmap files in bitmapDir as the editor
// draws it: the background, every control at its place showing a sample
// state (see-through strips keyed on pure white), the lamps and sample rate
// display texts. Writes a PNG. False with a reason when a bitmap cannot be
// read.
bool writePreview(const std::string& bitmapDir, const std::string& pngPath, const PreviewOptions& options,
                  std::string& error);

// Every strip bitmap (or only the one with onlyId) on its own, images side
// by side, see-through pixels in magenta, scaled up by zoom.
bool writeStripSheet(const std::string& bitmapDir, const std::string& pngPath, int zoom, int32_t onlyId,
                     std::string& error);

} // namespace artwork
} // namespace voltara
