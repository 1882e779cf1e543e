#include "platform/linux/Objects.h"
#include "resources/DibFile.h"

// Bitmap resources are bitmap files; the project's one reader decodes them.

namespace voltara::platform {

BitmapObject* bitmapFromFile(const unsigned char* data, size_t size)
{
    if (!data)
        return nullptr;
    DibImage image;
    std::string error;
    if (!voltara::decodeDib(std::vector<uint8_t>(data, data + size), image, error))
        return nullptr;
    auto* bitmap = new BitmapObject(image.width, image.height, false);
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t colour = image.colourAt(x, y); // 0xRRGGBB
            bitmap->pixels[size_t(y) * image.width + x] =
                rgb(uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour));
        }
    return bitmap;
}

} // namespace voltara::platform
