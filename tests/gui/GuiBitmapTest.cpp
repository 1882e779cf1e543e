#include "gui/GuiBitmap.h"
#include "gui/Frame.h"
#include "gui/PaintContext.h"
#include "tests/support/TestBitmaps.h"

#include <gtest/gtest.h>

namespace voltara {
namespace {

using namespace platform;

constexpr int stripId = 7100;
constexpr uint32_t backdrop = 0x336699; // 0xRRGGBB

// Two 6 x 4 images one under the other: the first red with a white
// (transparent) cross-bar in row 1, the second blue.
test::Picture strip()
{
    test::Picture picture(6, 8, 0xFF0000);
    for (int x = 0; x < 6; ++x)
        picture.at(x, 1) = 0xFFFFFF;
    for (int y = 4; y < 8; ++y)
        for (int x = 0; x < 6; ++x)
            picture.at(x, y) = 0x0000FF;
    return picture;
}

ColourRef ref(uint32_t rrggbb)
{
    return rgb(uint8_t(rrggbb >> 16), uint8_t(rrggbb >> 8), uint8_t(rrggbb));
}

struct GuiBitmapTest : ::testing::Test {
    void SetUp() override
    {
        test::registerBitmap(stripId, test::dib8(strip(), true));
        dc = CreateCompatibleDC(nullptr);
        canvas = CreateBitmap(10, 10, 1, 32, nullptr);
        old = SelectObject(dc, canvas);
        GdiObject brush = CreateSolidBrush(ref(backdrop));
        WinRect all{0, 0, 10, 10};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    void TearDown() override
    {
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteDC(dc);
    }
    std::vector<ColourRef> pixels() const
    {
        std::vector<ColourRef> all;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                all.push_back(GetPixel(dc, x, y));
        return all;
    }
    DeviceContext dc = nullptr;
    GdiObject canvas = nullptr, old = nullptr;
};

TEST_F(GuiBitmapTest, SizeComesFromTheResourceAndAMissingOneDrawsNothing)
{
    auto* bitmap = new GuiBitmap(stripId);
    EXPECT_EQ(bitmap->getWidth(), 6);
    EXPECT_EQ(bitmap->getHeight(), 8);
    bitmap->dropReference();

    auto* missing = new GuiBitmap(4711);
    EXPECT_EQ(missing->getWidth(), 0);
    EXPECT_EQ(missing->getHeight(), 0);
    PaintContext context(nullptr, dc, nullptr);
    const std::vector<ColourRef> before = pixels();
    missing->draw(&context, {0, 0, 6, 4});
    missing->drawTransparent(&context, {0, 0, 6, 4});
    EXPECT_EQ(pixels(), before);
    missing->dropReference();
}

TEST_F(GuiBitmapTest, ASourcePointPicksTheSubImage)
{
    auto* bitmap = new GuiBitmap(stripId);
    PaintContext context(nullptr, dc, nullptr);
    bitmap->draw(&context, {2, 3, 8, 7}, {0, 4});
    EXPECT_EQ(GetPixel(dc, 2, 3), ref(0x0000FF));
    EXPECT_EQ(GetPixel(dc, 7, 6), ref(0x0000FF));
    EXPECT_EQ(GetPixel(dc, 8, 7), ref(backdrop));
    EXPECT_EQ(GetPixel(dc, 1, 3), ref(backdrop));
    bitmap->dropReference();
}

TEST_F(GuiBitmapTest, TransparentDrawingShowsTheBackgroundOnlyWhereTheImageIsWhiteAndCanBeRepeated)
{
    auto* bitmap = new GuiBitmap(stripId);
    PaintContext context(nullptr, dc, nullptr);
    bitmap->drawTransparent(&context, {1, 1, 7, 5});
    const std::vector<ColourRef> first = pixels();
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 7; ++x)
            EXPECT_EQ(GetPixel(dc, x, y), y == 2 ? ref(backdrop) : ref(0xFF0000)) << x << "," << y;
    bitmap->drawTransparent(&context, {1, 1, 7, 5});
    EXPECT_EQ(pixels(), first) << "the image is whole again after compositing";
    bitmap->draw(&context, {1, 1, 7, 5});
    EXPECT_EQ(GetPixel(dc, 3, 2), ref(0xFFFFFF)) << "an opaque draw still has the white pixels";
    bitmap->dropReference();
}

TEST_F(GuiBitmapTest, AlphaBlendGoesThroughTheEntryTheFrameLooksUp)
{
    auto* bitmap = new GuiBitmap(stripId);
    PaintContext context(nullptr, dc, nullptr);
    GuiBitmap::alphaBlendEntry = nullptr;
    bitmap->drawAlphaBlend(&context, {0, 0, 6, 4}, {0, 4}, 128);
    EXPECT_EQ(GetPixel(dc, 0, 0), ref(backdrop)) << "nothing without the imaging library";
    Frame* frame = new Frame({0, 0, 10, 10}, nullptr, nullptr);
    ASSERT_NE(GuiBitmap::alphaBlendEntry, nullptr);
    bitmap->drawAlphaBlend(&context, {0, 0, 6, 4}, {0, 4}, 128);
    // 128/255 of blue over 127/255 of the backdrop, channel by channel
    EXPECT_EQ(GetPixel(dc, 0, 0), rgb(0x19, 0x33, 0xCC));
    frame->dropReference();
    bitmap->dropReference();
}

TEST_F(GuiBitmapTest, ReferencesCountUpAndDown)
{
    auto* bitmap = new GuiBitmap(stripId);
    bitmap->addReference();
    EXPECT_EQ(bitmap->getReferenceCount(), 2);
    bitmap->dropReference();
    EXPECT_EQ(bitmap->getReferenceCount(), 1);
    bitmap->dropReference(); // frees it; the sanitizer build checks nothing is left
}

} // namespace
} // namespace voltara
