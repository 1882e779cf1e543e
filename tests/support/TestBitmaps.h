#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace voltara::test {

// A picture made in a test: rows from the top, 0xRRGGBB per pixel.
struct Picture {
    Picture(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    int width;
    int height;
    std::vector<uint32_t> pixels;
};

// Bitmap files of a picture: 24-bit, and 8-bit with a palette of the
// picture's colours (at most 256), plain or run-length coded.
std::vector<unsigned char> dib24(const Picture& picture);
std::vector<unsigned char> dib8(const Picture& picture, bool runLength);

// Makes the file bitmap resource `id` of the running program, in place of
// any earlier one with that number.
void registerBitmap(int id, std::vector<unsigned char> file);

} // namespace voltara::test
