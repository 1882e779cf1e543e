// Compares the editor the Windows host captured with the Linux build's
// rendering of the same state, control by control:
//   voltara_capture_compare LINUX.png WINDOWS.bmp SIDE_BY_SIDE.png
// Prints how many pixels differ and under which controls, and writes the
// Linux picture, the Windows one and the differences side by side. Bitmaps
// are drawn by the same calls on both systems and must match exactly; text
// (the rate displays) comes from different font engines and may differ.
// Exits with 1 when pixels outside text differ or the sizes do.
#include "editor/RackLayout.h"
#include "resources/DibFile.h"

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace voltara;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // top row first

    uint32_t at(int x, int y) const
    {
        const uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
};

bool readPng(const std::string& path, Picture& picture)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = int(image.width);
    picture.height = int(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

bool readBmp(const std::string& path, Picture& picture)
{
    std::vector<uint8_t> bytes;
    DibImage image;
    std::string error;
    if (!readFileBytes(path, bytes) || !decodeDib(bytes, image, error))
        return false;
    picture.width = image.width;
    picture.height = image.height;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint32_t colour = image.colourAt(x, y);
            picture.rgb.insert(picture.rgb.end(), {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)});
        }
    return true;
}

bool writePng(const std::string& path, const Picture& picture)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width);
    image.height = png_uint_32(picture.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.rgb.data(), 0, nullptr) != 0;
}

const char* className(ControlClass kind)
{
    switch (kind) {
    case ControlClass::filmstripKnob: return "knob";
    case ControlClass::toggleButton: return "button";
    case ControlClass::rateDisplay: return "rate display";
    case ControlClass::momentaryButton: return "bank button";
    case ControlClass::horizontalStripSwitch:
    case ControlClass::verticalStripSwitch: return "strip switch";
    case ControlClass::wahPedal: return "wah pedal";
    case ControlClass::ledPanel: return "lamps";
    case ControlClass::splashArea: return "splash area";
    }
    return "control";
}

// The control drawn last over (x, y), as a row of the layout; -1 for the
// background.
int controlAt(int x, int y)
{
    for (int i = rackControlCount - 1; i >= 0; --i) {
        const int row = drawingOrder[i] - 1;
        const Rect& r = rackControls[row].rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return row;
    }
    return -1;
}

// Linux, Windows and the differences (red over a faded Linux picture), with
// gaps between them.
Picture sideBySide(const Picture& linux, const Picture& windows, const std::vector<bool>& differs)
{
    constexpr int gap = 8;
    Picture out;
    out.width = linux.width * 3 + gap * 2;
    out.height = linux.height;
    out.rgb.assign(std::size_t(out.width) * out.height * 3, 255);
    for (int y = 0; y < linux.height; ++y)
        for (int x = 0; x < linux.width; ++x) {
            const uint32_t a = linux.at(x, y), b = windows.at(x, y);
            const bool different = differs[std::size_t(y) * linux.width + x];
            const uint32_t faded = 0xC0C0C0 + ((a >> 2) & 0x3F3F3F);
            const uint32_t colours[] = {a, b, different ? 0xFF0000u : faded};
            for (int panel = 0; panel < 3; ++panel) {
                uint8_t* p = &out.rgb[(std::size_t(y) * out.width + panel * (linux.width + gap) + x) * 3];
                p[0] = uint8_t(colours[panel] >> 16);
                p[1] = uint8_t(colours[panel] >> 8);
                p[2] = uint8_t(colours[panel]);
            }
        }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: voltara_capture_compare LINUX.png WINDOWS.bmp SIDE_BY_SIDE.png\n");
        return 2;
    }
    Picture linux, windows;
    if (!readPng(argv[1], linux) || !readBmp(argv[2], windows)) {
        std::printf("editor pictures: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    if (linux.width != windows.width || linux.height != windows.height) {
        std::printf("editor pictures: Linux %d x %d, Windows %d x %d\n", linux.width, linux.height, windows.width,
                    windows.height);
        return 1;
    }
    std::vector<bool> differs(std::size_t(linux.width) * linux.height, false);
    std::vector<long> perControl(rackControlCount + 1, 0); // the last: the background
    long total = 0, outsideText = 0;
    for (int y = 0; y < linux.height; ++y)
        for (int x = 0; x < linux.width; ++x) {
            if (linux.at(x, y) == windows.at(x, y))
                continue;
            differs[std::size_t(y) * linux.width + x] = true;
            const int row = controlAt(x, y);
            ++perControl[row < 0 ? rackControlCount : row];
            ++total;
            outsideText += row < 0 || rackControls[row].kind != ControlClass::rateDisplay;
        }
    std::printf("editor pictures: %d x %d; %ld of %d pixels differ, %ld of them outside text\n", linux.width,
                linux.height, total, linux.width * linux.height, outsideText);
    for (int row = 0; row <= rackControlCount; ++row) {
        if (perControl[row] == 0)
            continue;
        if (row == rackControlCount) {
            std::printf("    background: %ld pixels\n", perControl[row]);
            continue;
        }
        const ControlEntry& entry = rackControls[row];
        std::printf("    %s %d at (%d, %d)-(%d, %d): %ld pixels%s\n", className(entry.kind), entry.tag, entry.rect.left,
                    entry.rect.top, entry.rect.right, entry.rect.bottom, perControl[row],
                    entry.kind == ControlClass::rateDisplay ? " (text from another font engine)" : "");
    }
    if (!writePng(argv[3], sideBySide(linux, windows, differs))) {
        std::printf("editor pictures: cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("editor pictures: Linux | Windows | differences in %s\n", argv[3]);
    return outsideText == 0 ? 0 : 1;
}
