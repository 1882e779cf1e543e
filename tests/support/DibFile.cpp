#include "DibFile.h"

#include "platform/linux/BitmapResources.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace voltara::test {

namespace {

void put32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void put16(std::vector<unsigned char>& out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

std::vector<unsigned char> file(int width, int height, uint16_t bits, uint32_t compression,
                                const std::vector<uint32_t>& palette, const std::vector<unsigned char>& pixels)
{
    std::vector<unsigned char> out{'B', 'M'};
    const uint32_t offset = 14 + 40 + uint32_t(palette.size()) * 4;
    put32(out, offset + uint32_t(pixels.size()));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));
    put16(out, 1);
    put16(out, bits);
    put32(out, compression);
    put32(out, uint32_t(pixels.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, uint32_t(palette.size()));
    put32(out, 0);
    for (uint32_t colour : palette) {
        out.push_back(uint8_t(colour));
        out.push_back(uint8_t(colour >> 8));
        out.push_back(uint8_t(colour >> 16));
        out.push_back(0);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

} // namespace

std::vector<unsigned char> dib24(const Picture& picture)
{
    const size_t rowBytes = (size_t(picture.width) * 3 + 3) & ~size_t(3);
    std::vector<unsigned char> pixels(rowBytes * picture.height, 0);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t c = picture.at(x, y);
            unsigned char* p = &pixels[rowBytes * (picture.height - 1 - y) + size_t(x) * 3];
            p[0] = uint8_t(c);
            p[1] = uint8_t(c >> 8);
            p[2] = uint8_t(c >> 16);
        }
    return file(picture.width, picture.height, 24, 0, {}, pixels);
}

std::vector<unsigned char> dib8(const Picture& picture, bool runLength)
{
    std::vector<uint32_t> palette;
    std::map<uint32_t, uint8_t> index;
    for (uint32_t c : picture.pixels)
        if (!index.count(c)) {
            if (palette.size() == 256)
                throw std::runtime_error("more than 256 colours");
            index[c] = uint8_t(palette.size());
            palette.push_back(c);
        }
    std::vector<unsigned char> pixels;
    for (int row = picture.height - 1; row >= 0; --row) {
        if (!runLength) {
            for (int x = 0; x < picture.width; ++x)
                pixels.push_back(index[picture.at(x, row)]);
            while (pixels.size() % 4)
                pixels.push_back(0);
            continue;
        }
        // Runs of equal pixels, lone pixels as literal groups of three or more.
        int x = 0;
        while (x < picture.width) {
            int run = 1;
            while (x + run < picture.width && run < 255 && picture.at(x + run, row) == picture.at(x, row))
                ++run;
            if (run >= 2 || picture.width - x < 3) {
                pixels.push_back(uint8_t(run));
                pixels.push_back(index[picture.at(x, row)]);
                x += run;
                continue;
            }
            int literal = 0;
            while (x + literal < picture.width && literal < 255
                   && (x + literal + 1 >= picture.width
                       || picture.at(x + literal, row) != picture.at(x + literal + 1, row)))
                ++literal;
            literal = std::max(literal, 3);
            literal = std::min(literal, picture.width - x);
            pixels.push_back(0);
            pixels.push_back(uint8_t(literal));
            for (int i = 0; i < literal; ++i)
                pixels.push_back(index[picture.at(x + i, row)]);
            if (literal % 2)
                pixels.push_back(0);
            x += literal;
        }
        pixels.push_back(0);
        pixels.push_back(0); // end of line
    }
    pixels.push_back(0);
    pixels.push_back(1); // end of bitmap
    return file(picture.width, picture.height, 8, runLength ? 1 : 0, palette, pixels);
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
