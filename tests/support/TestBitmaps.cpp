#include "tests/support/TestBitmaps.h"

#include "platform/linux/BitmapResources.h"
#include "resources/DibFile.h"

#include <map>
#include <stdexcept>

namespace voltara::test {

std::vector<unsigned char> dib24(const Picture& picture)
{
    DibImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.bitsPerPixel = 24;
    for (uint32_t colour : picture.pixels) {
        image.pixels.push_back(uint8_t(colour >> 16));
        image.pixels.push_back(uint8_t(colour >> 8));
        image.pixels.push_back(uint8_t(colour));
    }
    return encodeDib(image);
}

std::vector<unsigned char> dib8(const Picture& picture, bool runLength)
{
    DibImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.bitsPerPixel = 8;
    image.runLengthCoded = runLength;
    std::map<uint32_t, uint8_t> index;
    for (uint32_t colour : picture.pixels) {
        if (!index.count(colour)) {
            if (image.palette.size() == 256)
                throw std::runtime_error("more than 256 colours");
            index[colour] = uint8_t(image.palette.size());
            image.palette.push_back(colour);
        }
        image.pixels.push_back(index[colour]);
    }
    return encodeDib(image);
}

void registerBitmap(int id, std::vector<unsigned char> bytes)
{
    static std::map<int, std::vector<unsigned char>> files;
    static const char anchor = 0;
    files[id] = std::move(bytes);
    std::vector<platform::EmbeddedBitmap> table;
    for (const auto& [number, data] : files)
        table.push_back({number, data.data(), data.size()});
    platform::unregisterBitmapResources(&anchor);
    platform::registerBitmapResources(&anchor, table.data(), table.size());
}

} // namespace voltara::test
