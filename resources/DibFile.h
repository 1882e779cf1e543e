#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// A Windows device-independent bitmap file ("BM", a 40-byte information
// header, an optional palette, rows stored bottom-up and padded to four
// bytes): 8 bits per pixel with a palette, stored plain or run-length coded
// (RLE8), or 24 bits per pixel. The one place that knows the file layout;
// the artwork generator writes with it, the checks and the preview read with
// it.
struct DibImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 8; // 8 or 24
    bool runLengthCoded = false;
    // 8-bit pictures: the colours, 0xRRGGBB, at most 256.
    std::vector<uint32_t> palette;
    // Top row first. 8 bits: one palette index per pixel; 24 bits: red,
    // green, blue per pixel.
    std::vector<uint8_t> pixels;

    // The colour of one pixel as 0xRRGGBB.
    uint32_t colourAt(int32_t x, int32_t y) const;
};

// What the headers of a file say, read without decoding the pixels.
struct DibHeader {
    int32_t fileSize = 0;
    int32_t pixelOffset = 0;
    int32_t width = 0;
    int32_t height = 0; // negative: rows stored top-down
    int32_t planes = 0;
    int32_t bitsPerPixel = 0;
    int32_t compression = 0; // 0 plain, 1 RLE8
    int32_t imageBytes = 0;
    int32_t coloursUsed = 0; // palette entries in the file
};

inline constexpr int32_t dibPlain = 0;
inline constexpr int32_t dibRle8 = 1;

std::vector<uint8_t> encodeDib(const DibImage& image);

// False with a reason when the bytes are not a bitmap of the kinds above.
bool readDibHeader(const std::vector<uint8_t>& bytes, DibHeader& header, std::string& error);
// Decodes the pixels too; run-length data that would write outside the
// picture or runs short is refused.
bool decodeDib(const std::vector<uint8_t>& bytes, DibImage& image, std::string& error);

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace voltara
