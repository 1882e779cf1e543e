#include "resources/DibFile.h"

#include "common/ByteOrder.h"

#include <cstdio>

namespace voltara {
namespace {

constexpr int32_t fileHeaderSize = 14;
constexpr int32_t infoHeaderSize = 40;
constexpr int32_t pixelsPerMetre = 2835; // 72 dots per inch

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    appendLittleEndian(out, v, 2);
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    appendLittleEndian(out, v, 4);
}

uint32_t get16(const std::vector<uint8_t>& in, size_t at)
{
    return littleEndian16(in.data() + at);
}

uint32_t get32(const std::vector<uint8_t>& in, size_t at)
{
    return littleEndian32(in.data() + at);
}

int32_t rowStride(int32_t width, int32_t bitsPerPixel)
{
    return (width * bitsPerPixel / 8 + 3) & ~3;
}

// One row between memory (red, green, blue) and the file (blue, green, red);
// the swap is its own inverse, so it serves both directions.
void copyRow(const uint8_t* src, uint8_t* dst, int32_t width, int32_t bytesPerPixel)
{
    for (int32_t x = 0; x < width; ++x) {
        if (bytesPerPixel == 1) {
            dst[x] = src[x];
        } else {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
}

// Plain rows, bottom row first, each padded to four bytes; 24-bit pixels as
// blue, green, red.
std::vector<uint8_t> plainRows(const DibImage& image)
{
    const int32_t bytesPerPixel = image.bitsPerPixel / 8;
    const int32_t stride = rowStride(image.width, image.bitsPerPixel);
    std::vector<uint8_t> out(static_cast<size_t>(stride) * image.height, 0);
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* src = &image.pixels[static_cast<size_t>(y) * image.width * bytesPerPixel];
        uint8_t* dst = &out[static_cast<size_t>(image.height - 1 - y) * stride];
        copyRow(src, dst, image.width, bytesPerPixel);
    }
    return out;
}

// RLE8: per row, runs of one index (count, index) and literal stretches
// (0, count >= 3, indices, padded to an even length); each row closes with
// (0, 0), the last with (0, 1).
std::vector<uint8_t> rle8Rows(const DibImage& image)
{
    std::vector<uint8_t> out;
    for (int32_t y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = &image.pixels[static_cast<size_t>(y) * image.width];
        int32_t x = 0;
        while (x < image.width) {
            int32_t run = 1;
            while (x + run < image.width && run < 255 && row[x + run] == row[x])
                ++run;
            if (run >= 2) {
                out.push_back(static_cast<uint8_t>(run));
                out.push_back(row[x]);
                x += run;
                continue;
            }
            // Literal stretch up to the next pair of equal indices.
            int32_t end = x + 1;
            while (end < image.width && end - x < 255 && !(end + 1 < image.width && row[end] == row[end + 1]))
                ++end;
            const int32_t count = end - x;
            if (count < 3) {
                for (int32_t i = 0; i < count; ++i) {
                    out.push_back(1);
                    out.push_back(row[x + i]);
                }
            } else {
                out.push_back(0);
                out.push_back(static_cast<uint8_t>(count));
                out.insert(out.end(), row + x, row + end);
                if (count % 2 != 0)
                    out.push_back(0);
            }
            x = end;
        }
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);
    }
    return out;
}

bool decodeRle8(const std::vector<uint8_t>& bytes, size_t at, DibImage& image, std::string& error)
{
    int32_t x = 0;
    int32_t row = 0; // counted from the bottom
    auto put = [&](uint8_t index) {
        if (x >= image.width || row >= image.height)
            return false;
        image.pixels[static_cast<size_t>(image.height - 1 - row) * image.width + x] = index;
        ++x;
        return true;
    };
    while (at + 1 < bytes.size()) {
        const uint8_t first = bytes[at];
        const uint8_t second = bytes[at + 1];
        at += 2;
        if (first > 0) {
            for (int32_t i = 0; i < first; ++i) {
                if (!put(second)) {
                    error = "run-length data runs outside the picture";
                    return false;
                }
            }
        } else if (second == 0) {
            x = 0;
            ++row;
        } else if (second == 1) {
            return true;
        } else if (second == 2) {
            if (at + 1 >= bytes.size()) {
                error = "run-length data ends inside a move";
                return false;
            }
            x += bytes[at];
            row += bytes[at + 1];
            at += 2;
        } else {
            if (at + second > bytes.size()) {
                error = "run-length data ends inside a literal stretch";
                return false;
            }
            for (int32_t i = 0; i < second; ++i) {
                if (!put(bytes[at + i])) {
                    error = "run-length data runs outside the picture";
                    return false;
                }
            }
            at += second + (second % 2);
        }
    }
    error = "run-length data has no end mark";
    return false;
}

} // namespace

uint32_t DibImage::colourAt(int32_t x, int32_t y) const
{
    const size_t i = static_cast<size_t>(y) * width + x;
    if (bitsPerPixel == 8)
        return palette[pixels[i]];
    return static_cast<uint32_t>(pixels[3 * i]) << 16 | pixels[3 * i + 1] << 8 | pixels[3 * i + 2];
}

std::vector<uint8_t> encodeDib(const DibImage& image)
{
    const bool indexed = image.bitsPerPixel == 8;
    const std::vector<uint8_t> data = indexed && image.runLengthCoded ? rle8Rows(image) : plainRows(image);
    const uint32_t paletteBytes = indexed ? 4 * static_cast<uint32_t>(image.palette.size()) : 0;
    const uint32_t pixelOffset = fileHeaderSize + infoHeaderSize + paletteBytes;

    std::vector<uint8_t> out;
    out.reserve(pixelOffset + data.size());
    out.push_back('B');
    out.push_back('M');
    put32(out, pixelOffset + static_cast<uint32_t>(data.size()));
    put32(out, 0);
    put32(out, pixelOffset);

    put32(out, infoHeaderSize);
    put32(out, static_cast<uint32_t>(image.width));
    put32(out, static_cast<uint32_t>(image.height)); // positive: bottom-up rows
    put16(out, 1);
    put16(out, static_cast<uint32_t>(image.bitsPerPixel));
    put32(out, indexed && image.runLengthCoded ? dibRle8 : dibPlain);
    put32(out, static_cast<uint32_t>(data.size()));
    put32(out, pixelsPerMetre);
    put32(out, pixelsPerMetre);
    put32(out, indexed ? static_cast<uint32_t>(image.palette.size()) : 0);
    put32(out, 0);

    for (uint32_t colour : image.palette) {
        out.push_back(static_cast<uint8_t>(colour));
        out.push_back(static_cast<uint8_t>(colour >> 8));
        out.push_back(static_cast<uint8_t>(colour >> 16));
        out.push_back(0);
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

bool readDibHeader(const std::vector<uint8_t>& bytes, DibHeader& header, std::string& error)
{
    if (bytes.size() < fileHeaderSize + infoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        error = "not a bitmap file";
        return false;
    }
    if (get32(bytes, fileHeaderSize) != infoHeaderSize) {
        error = "information header is not the 40-byte kind";
        return false;
    }
    header.fileSize = static_cast<int32_t>(get32(bytes, 2));
    header.pixelOffset = static_cast<int32_t>(get32(bytes, 10));
    header.width = static_cast<int32_t>(get32(bytes, 18));
    header.height = static_cast<int32_t>(get32(bytes, 22));
    header.planes = static_cast<int32_t>(get16(bytes, 26));
    header.bitsPerPixel = static_cast<int32_t>(get16(bytes, 28));
    header.compression = static_cast<int32_t>(get32(bytes, 30));
    header.imageBytes = static_cast<int32_t>(get32(bytes, 34));
    header.coloursUsed = static_cast<int32_t>(get32(bytes, 46));
    if (header.bitsPerPixel == 8 && header.coloursUsed == 0)
        header.coloursUsed = 256;
    return true;
}

bool decodeDib(const std::vector<uint8_t>& bytes, DibImage& image, std::string& error)
{
    DibHeader header;
    if (!readDibHeader(bytes, header, error))
        return false;
    const bool indexed = header.bitsPerPixel == 8;
    if (header.planes != 1 || (!indexed && header.bitsPerPixel != 24)) {
        error = "only 8-bit and 24-bit pictures are read";
        return false;
    }
    if (header.compression != dibPlain && !(indexed && header.compression == dibRle8)) {
        error = "unknown compression";
        return false;
    }
    if (header.width <= 0 || header.height <= 0 || header.width > 16384 || header.height > 16384) {
        error = "picture size out of range (top-down pictures are not read)";
        return false;
    }
    const int32_t paletteCount = indexed ? header.coloursUsed : 0;
    const size_t paletteAt = fileHeaderSize + infoHeaderSize;
    if (paletteCount > 256 || header.pixelOffset < 0 || paletteAt + 4 * static_cast<size_t>(paletteCount) > bytes.size()
        || static_cast<size_t>(header.pixelOffset) > bytes.size()) {
        error = "palette or pixel offset outside the file";
        return false;
    }

    image.width = header.width;
    image.height = header.height;
    image.bitsPerPixel = header.bitsPerPixel;
    image.runLengthCoded = header.compression == dibRle8;
    image.palette.clear();
    for (int32_t i = 0; i < paletteCount; ++i) {
        const size_t at = paletteAt + 4 * static_cast<size_t>(i);
        image.palette.push_back(static_cast<uint32_t>(bytes[at + 2]) << 16 | bytes[at + 1] << 8 | bytes[at]);
    }
    const size_t bytesPerPixel = static_cast<size_t>(header.bitsPerPixel / 8);
    image.pixels.assign(static_cast<size_t>(image.width) * image.height * bytesPerPixel, 0);

    if (image.runLengthCoded) {
        if (!decodeRle8(bytes, static_cast<size_t>(header.pixelOffset), image, error))
            return false;
    } else {
        const size_t stride = static_cast<size_t>(rowStride(image.width, image.bitsPerPixel));
        if (static_cast<size_t>(header.pixelOffset) + stride * image.height > bytes.size()) {
            error = "pixel rows run past the end of the file";
            return false;
        }
        for (int32_t y = 0; y < image.height; ++y) {
            const uint8_t* src = &bytes[header.pixelOffset + (image.height - 1 - y) * stride];
            uint8_t* dst = &image.pixels[static_cast<size_t>(y) * image.width * bytesPerPixel];
            copyRow(src, dst, image.width, int32_t(bytesPerPixel));
        }
    }
    if (indexed) {
        for (uint8_t index : image.pixels) {
            if (index >= image.palette.size()) {
                error = "pixel index beyond the palette";
                return false;
            }
        }
    }
    return true;
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace voltara
