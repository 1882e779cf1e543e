#include "resources/BitmapTable.h"
#include "resources/DibFile.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace voltara {
namespace {

constexpr uint32_t white = 0xffffff;

DibImage loadCommitted(const BitmapEntry& entry, DibHeader* header = nullptr)
{
    const std::string path =
        std::string(VOLTARA_SOURCE_DIR) + "/resources/bitmaps/" + std::to_string(entry.id) + ".bmp";
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(readFileBytes(path, bytes)) << path;
    std::string error;
    DibHeader parsed;
    EXPECT_TRUE(readDibHeader(bytes, parsed, error)) << path << ": " << error;
    if (header)
        *header = parsed;
    DibImage image;
    EXPECT_TRUE(decodeDib(bytes, image, error)) << path << ": " << error;
    EXPECT_EQ(parsed.fileSize, int32_t(bytes.size())) << path;
    return image;
}

// The pixels of image i of a strip that are not the see-through white.
std::set<std::pair<int32_t, int32_t>> silhouette(const DibImage& image, const BitmapEntry& entry, int32_t i)
{
    const int32_t perRow = entry.width / entry.imageWidth;
    const int32_t left = entry.imageWidth * (i % perRow), top = entry.imageHeight * (i / perRow);
    std::set<std::pair<int32_t, int32_t>> covered;
    for (int32_t y = 0; y < entry.imageHeight; ++y) {
        for (int32_t x = 0; x < entry.imageWidth; ++x) {
            if (image.colourAt(left + x, top + y) != white)
                covered.insert({x, y});
        }
    }
    return covered;
}

TEST(BitmapFileTest, CommittedBitmapsHaveTheSizesFormatsAndImagesOfTheTable)
{
    for (const BitmapEntry& entry : bitmapTable) {
        SCOPED_TRACE("bitmap " + std::to_string(entry.id));
        DibHeader header;
        const DibImage image = loadCommitted(entry, &header);
        EXPECT_EQ(header.width, entry.width);
        EXPECT_EQ(header.height, entry.height); // positive: stored bottom-up
        EXPECT_EQ(header.planes, 1);
        EXPECT_EQ(header.bitsPerPixel, entry.bitsPerPixel);
        EXPECT_EQ(header.compression, entry.runLengthCoded ? dibRle8 : dibPlain);
        EXPECT_EQ(entry.width % entry.imageWidth, 0);
        EXPECT_EQ(entry.height % entry.imageHeight, 0);
        EXPECT_EQ(entry.width / entry.imageWidth * (entry.height / entry.imageHeight), entry.imageCount);
        EXPECT_EQ(image.width, entry.width);
        EXPECT_EQ(image.height, entry.height);
    }
}

TEST(BitmapFileTest, PalettePicturesUseRealPalettes)
{
    for (const BitmapEntry& entry : bitmapTable) {
        if (entry.bitsPerPixel != 8)
            continue;
        SCOPED_TRACE("bitmap " + std::to_string(entry.id));
        const DibImage image = loadCommitted(entry);
        EXPECT_LE(image.palette.size(), 256u);
        std::set<uint32_t> used;
        for (uint8_t index : image.pixels)
            used.insert(image.palette[index]);
        EXPECT_GE(used.size(), 32u);
    }
}

// A see-through strip is drawn over what the previous image left on screen,
// so every image must cover exactly the same pixels.
TEST(BitmapFileTest, SeeThroughStripsKeepOneSilhouetteInEveryImage)
{
    for (const BitmapEntry& entry : bitmapTable) {
        if (!entry.transparent)
            continue;
        SCOPED_TRACE("bitmap " + std::to_string(entry.id));
        const DibImage image = loadCommitted(entry);
        const auto first = silhouette(image, entry, 0);
        EXPECT_GT(first.size(), size_t(entry.imageWidth * entry.imageHeight / 2));
        EXPECT_LT(first.size(), size_t(entry.imageWidth * entry.imageHeight));
        for (int32_t i = 1; i < entry.imageCount; ++i)
            ASSERT_EQ(silhouette(image, entry, i), first) << "image " << i;
    }
}

TEST(BitmapFileTest, EncodedPicturesDecodeToTheSamePixels)
{
    struct Case {
        const char* name;
        int32_t width, height, bits;
        bool rle;
    };
    const Case cases[] = {
        {"8-bit rows padded to four bytes", 7, 3, 8, false},
        {"24-bit rows padded to four bytes", 5, 4, 24, false},
        {"run-length coded, runs and odd literal stretches", 301, 5, 8, true},
        {"run-length coded, one pixel wide", 1, 6, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DibImage image;
        image.width = c.width;
        image.height = c.height;
        image.bitsPerPixel = c.bits;
        image.runLengthCoded = c.rle;
        if (c.bits == 8)
            image.palette = {0x000000, 0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
        image.pixels.resize(size_t(c.width) * c.height * (c.bits / 8));
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            // A run longer than one code holds, then short runs and single pixels.
            const size_t x = i % c.width;
            image.pixels[i] = c.bits == 24 ? uint8_t(i * 37) : uint8_t(x < 260 ? 1 : (i * 7 / 3) % 5);
        }
        const std::vector<uint8_t> bytes = encodeDib(image);
        DibImage back;
        std::string error;
        ASSERT_TRUE(decodeDib(bytes, back, error)) << error;
        EXPECT_EQ(back.width, image.width);
        EXPECT_EQ(back.height, image.height);
        EXPECT_EQ(back.bitsPerPixel, image.bitsPerPixel);
        EXPECT_EQ(back.runLengthCoded, image.runLengthCoded);
        EXPECT_EQ(back.palette, image.palette);
        EXPECT_EQ(back.pixels, image.pixels);
    }
}

TEST(BitmapFileTest, BrokenRunLengthDataIsRefused)
{
    DibImage image;
    image.width = 4;
    image.height = 2;
    image.runLengthCoded = true;
    image.palette = {0x000000, 0xffffff};
    image.pixels = {0, 0, 0, 0, 1, 1, 1, 1};
    const std::vector<uint8_t> good = encodeDib(image);
    const size_t dataAt = good.size() - 8; // two rows of (4, index, 0, end)

    std::vector<uint8_t> overlong = good;
    overlong[dataAt] = 5; // a run past the end of the row
    std::vector<uint8_t> unterminated(good.begin(), good.end() - 2);
    std::vector<uint8_t> truncatedLiteral = good;
    truncatedLiteral.resize(dataAt + 4);
    truncatedLiteral[dataAt] = 0;
    truncatedLiteral[dataAt + 1] = 9;

    for (const auto& bytes : {overlong, unterminated, truncatedLiteral}) {
        DibImage out;
        std::string error;
        EXPECT_FALSE(decodeDib(bytes, out, error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace voltara
