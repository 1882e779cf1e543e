// libFuzzer target: any bytes as a bitmap file, read by the one reader of the
// format (resources/DibFile) that the checks and the artwork tool use. It must
// refuse what it cannot read with a reason, never read or write out of bounds;
// a picture it decodes has the pixels its size says, and encoded again it
// decodes to the same picture.
#include "resources/DibFile.h"

#include <string>
#include <vector>

using namespace voltara;

namespace {

constexpr size_t maximumCheckedPixels = size_t(1) << 20;

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> bytes(data, data + size);
    DibHeader header;
    std::string error;
    if (!readDibHeader(bytes, header, error)) {
        check(!error.empty());
        return 0;
    }
    DibImage image;
    if (!decodeDib(bytes, image, error)) {
        check(!error.empty());
        return 0;
    }
    check(image.width > 0 && image.height > 0);
    check(image.bitsPerPixel == 8 || image.bitsPerPixel == 24);
    check(image.pixels.size() == size_t(image.width) * size_t(image.height) * size_t(image.bitsPerPixel / 8));
    check(image.palette.size() <= 256);
    if (size_t(image.width) * size_t(image.height) > maximumCheckedPixels)
        return 0; // decoded within bounds; reading every pixel twice would only take time
    uint32_t mix = 0;
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            mix ^= image.colourAt(x, y);

    DibImage again;
    check(decodeDib(encodeDib(image), again, error));
    check(again.width == image.width && again.height == image.height && again.pixels == image.pixels);
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            mix ^= again.colourAt(x, y);
    check(mix == 0);
    return 0;
}
