#include "Objects.h"

#include <cstring>

// Device-independent bitmap files as bitmap resources hold them: 8-bit with a
// palette (plain or run-length coded) and 24-bit, bottom-up or top-down, with
// or without the 14-byte file header. Anything else, or data that ends early,
// is refused.

namespace voltara::platform {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;

uint32_t read32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t read16(const unsigned char* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Decodes run-length coded 8-bit rows into indices; false on a broken stream.
bool decodeRle8(const unsigned char* data, size_t size, int width, int height, std::vector<uint8_t>& indices)
{
    size_t at = 0;
    int x = 0, y = 0;
    while (at + 1 < size) {
        const uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i, ++x)
                if (y < height)
                    indices[size_t(y) * width + x] = value;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: return true; // end of bitmap
        case 2:              // move right and down
            if (at + 1 >= size)
                return false;
            x += data[at];
            y += data[at + 1];
            at += 2;
            break;
        default: // a run of literal indices, padded to a 16-bit boundary
            if (at + value > size)
                return false;
            for (int i = 0; i < value; ++i, ++x)
                if (x < width && y < height)
                    indices[size_t(y) * width + x] = data[at + size_t(i)];
            at += size_t(value + 1) & ~size_t(1);
        }
        if (y >= height)
            return true;
    }
    return true; // a stream without its end marker keeps what it drew
}

} // namespace

BitmapObject* decodeDib(const unsigned char* data, size_t size)
{
    if (!data || size < 40)
        return nullptr;
    size_t pixelOffset = 0;
    if (data[0] == 'B' && data[1] == 'M') {
        pixelOffset = read32(data + 10);
        data += 14;
        size -= 14;
        if (pixelOffset < 14)
            return nullptr;
        pixelOffset -= 14;
    }
    if (size < 40)
        return nullptr;
    const uint32_t headerSize = read32(data);
    const int32_t width = int32_t(read32(data + 4));
    const int32_t rawHeight = int32_t(read32(data + 8));
    const uint16_t bitCount = read16(data + 14);
    const uint32_t compression = read32(data + 16);
    uint32_t coloursUsed = read32(data + 32);
    if (headerSize < 40 || headerSize > size || width <= 0 || width > 16384 || rawHeight == 0 || rawHeight < -16384
        || rawHeight > 16384)
        return nullptr;
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    const bool eightBit = bitCount == 8 && (compression == BI_RGB || (compression == BI_RLE8 && !topDown));
    if (!eightBit && !(bitCount == 24 && compression == BI_RGB))
        return nullptr;

    uint32_t palette[256] = {};
    size_t paletteEnd = headerSize;
    if (bitCount == 8) {
        if (coloursUsed == 0 || coloursUsed > 256)
            coloursUsed = 256;
        paletteEnd += size_t(coloursUsed) * 4;
        if (paletteEnd > size)
            return nullptr;
        for (uint32_t i = 0; i < coloursUsed; ++i) {
            const unsigned char* entry = data + headerSize + size_t(i) * 4;
            palette[i] = rgb(entry[2], entry[1], entry[0]);
        }
    }
    if (pixelOffset == 0)
        pixelOffset = paletteEnd;
    if (pixelOffset > size)
        return nullptr;
    const unsigned char* pixels = data + pixelOffset;
    const size_t available = size - pixelOffset;

    auto* bitmap = new BitmapObject(width, height, false);
    auto store = [&](int row, int x, uint32_t colour) {
        const int y = topDown ? row : height - 1 - row;
        bitmap->pixels[size_t(y) * width + x] = colour;
    };
    if (bitCount == 8 && compression == BI_RLE8) {
        std::vector<uint8_t> indices(size_t(width) * height, 0);
        if (!decodeRle8(pixels, available, width, height, indices)) {
            delete bitmap;
            return nullptr;
        }
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
                store(row, x, palette[indices[size_t(row) * width + x]]);
        return bitmap;
    }
    const size_t rowBytes = (size_t(width) * (bitCount / 8) + 3) & ~size_t(3);
    if (rowBytes * size_t(height) > available) {
        delete bitmap;
        return nullptr;
    }
    for (int row = 0; row < height; ++row) {
        const unsigned char* line = pixels + rowBytes * size_t(row);
        for (int x = 0; x < width; ++x) {
            if (bitCount == 8)
                store(row, x, palette[line[x]]);
            else
                store(row, x, rgb(line[x * 3 + 2], line[x * 3 + 1], line[x * 3]));
        }
    }
    return bitmap;
}

} // namespace voltara::platform
