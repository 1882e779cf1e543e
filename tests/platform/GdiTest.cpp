#include "platform/Gdi.h"
#include "platform/Module.h"
#include "tests/support/TestBitmaps.h"

#include <gtest/gtest.h>

#include <vector>

// The Linux stand-ins of the GDI calls the toolkit's look depends on.

namespace voltara::platform {
namespace {

constexpr ColourRef white = 0xFFFFFF;

// A memory context holding a colour bitmap of its own.
struct Canvas {
    Canvas(int w, int h, ColourRef fill = 0)
    {
        dc = CreateCompatibleDC(nullptr);
        // A colour bitmap: compatible with a context that holds one (a fresh one holds a 1 x 1 monochrome).
        bitmap = CreateBitmap(w, h, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
        GdiObject brush = CreateSolidBrush(fill);
        WinRect all{0, 0, w, h};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void set(int x, int y, ColourRef colour)
    {
        GdiObject brush = CreateSolidBrush(colour);
        WinRect one{x, y, x + 1, y + 1};
        FillRect(dc, &one, brush);
        DeleteObject(brush);
    }
    ColourRef at(int x, int y) const { return GetPixel(dc, x, y); }
    DeviceContext dc;
    GdiObject bitmap;
    GdiObject old;
};

struct Monochrome {
    Monochrome(int w, int h)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(w, h, 1, 1, nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Monochrome()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    DeviceContext dc;
    GdiObject bitmap;
    GdiObject old;
};

TEST(GdiTest, EachRasterOperationCombinesSourceAndDestination)
{
    struct Case {
        uint32_t rop;
        ColourRef expected;
    };
    const ColourRef source = 0x00F0A50F, dest = 0x003C3CF0;
    const Case cases[] = {
        {SRCCOPY, source},
        {NOTSRCCOPY, ~source & white},
        {SRCAND, source & dest},
        {SRCPAINT, source | dest},
    };
    for (const Case& c : cases) {
        Canvas from(4, 4, source), to(4, 4, dest);
        EXPECT_TRUE(BitBlt(to.dc, 1, 1, 2, 2, from.dc, 0, 0, c.rop));
        EXPECT_EQ(to.at(1, 1), c.expected) << std::hex << c.rop;
        EXPECT_EQ(to.at(2, 2), c.expected) << std::hex << c.rop;
        EXPECT_EQ(to.at(0, 0), dest) << "outside the block";
        EXPECT_EQ(to.at(3, 3), dest) << "outside the block";
    }
}

TEST(GdiTest, ColourToMonochromeMarksTheSourceBackgroundColour)
{
    Canvas colour(3, 1, 0x112233);
    colour.set(1, 0, 0x00FF00FF);
    Monochrome mask(3, 1);
    SetBkColor(colour.dc, 0x00FF00FF);
    BitBlt(mask.dc, 0, 0, 3, 1, colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mask.dc, 0, 0), 0u);
    EXPECT_EQ(GetPixel(mask.dc, 1, 0), white);
    EXPECT_EQ(GetPixel(mask.dc, 2, 0), 0u);
}

TEST(GdiTest, MonochromeToColourTakesTheDestinationTextAndBackgroundColours)
{
    Monochrome mask(2, 1);
    GdiObject whiteBrush = GetStockObject(WHITE_BRUSH);
    WinRect second{1, 0, 2, 1};
    FillRect(mask.dc, &second, whiteBrush);
    Canvas colour(2, 1, 0x777777);
    SetTextColor(colour.dc, 0x0000FF);
    SetBkColor(colour.dc, 0x00FF00);
    BitBlt(colour.dc, 0, 0, 2, 1, mask.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(colour.at(0, 0), 0x0000FFu) << "0 bits take the text colour";
    EXPECT_EQ(colour.at(1, 0), 0x00FF00u) << "1 bits take the background colour";
}

TEST(GdiTest, AFreshMemoryContextMakesMonochromeCompatibleBitmaps)
{
    DeviceContext dc = CreateCompatibleDC(nullptr);
    GdiObject bitmap = CreateCompatibleBitmap(dc, 5, 3);
    BitmapInfo info{};
    ASSERT_GT(GetObjectA(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 3);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(GdiTest, LineToLeavesOutItsLastPixel)
{
    struct Case {
        int x0, y0, x1, y1;
        std::vector<std::pair<int, int>> drawn;
    };
    const Case cases[] = {
        {1, 1, 4, 1, {{1, 1}, {2, 1}, {3, 1}}},
        {2, 4, 2, 1, {{2, 4}, {2, 3}, {2, 2}}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}}},
        {3, 3, 3, 3, {}},
    };
    for (const Case& c : cases) {
        Canvas canvas(6, 6, white);
        GdiObject pen = CreatePen(PS_SOLID, 1, 0);
        GdiObject old = SelectObject(canvas.dc, pen);
        MoveToEx(canvas.dc, c.x0, c.y0, nullptr);
        LineTo(canvas.dc, c.x1, c.y1);
        SelectObject(canvas.dc, old);
        DeleteObject(pen);
        int black = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                black += canvas.at(x, y) == 0;
        EXPECT_EQ(black, int(c.drawn.size()));
        for (auto [x, y] : c.drawn)
            EXPECT_EQ(canvas.at(x, y), 0u) << x << "," << y;
        EXPECT_EQ(canvas.at(c.x1, c.y1), white) << "the end point stays";
    }
}

TEST(GdiTest, FillRectLeavesOutRightAndBottom)
{
    Canvas canvas(5, 5, white);
    GdiObject brush = CreateSolidBrush(0x123456);
    WinRect area{1, 1, 3, 4};
    FillRect(canvas.dc, &area, brush);
    DeleteObject(brush);
    EXPECT_EQ(canvas.at(1, 1), 0x123456u);
    EXPECT_EQ(canvas.at(2, 3), 0x123456u);
    EXPECT_EQ(canvas.at(3, 1), white);
    EXPECT_EQ(canvas.at(1, 4), white);
    EXPECT_EQ(canvas.at(0, 0), white);
}

TEST(GdiTest, ObjectsSelectedIntoAContextAreNotDeleted)
{
    DeviceContext dc = CreateCompatibleDC(nullptr);
    GdiObject pen = CreatePen(PS_SOLID, 1, 0);
    GdiObject old = SelectObject(dc, pen);
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(dc, old), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(GetStockObject(NULL_PEN))) << "stock objects ignore deletion";
    DeleteDC(dc);
}

// Bitmap resources of this test program, decoded by LoadBitmapA.
TEST(GdiTest, LoadBitmapReadsEightBitPlainAndRunLengthAndTwentyFourBitFiles)
{
    test::Picture picture(7, 5, 0x102030);
    for (int x = 0; x < 7; ++x)
        picture.at(x, 0) = 0xFF0000;
    picture.at(2, 2) = 0x00FF00;
    picture.at(3, 2) = 0x0000FF;
    picture.at(4, 2) = 0xFFFFFF;
    picture.at(6, 4) = 0xABCDEF;
    test::registerBitmap(9001, test::dib24(picture));
    test::registerBitmap(9002, test::dib8(picture, false));
    test::registerBitmap(9003, test::dib8(picture, true));
    static const char here = 0;
    for (int id : {9001, 9002, 9003}) {
        GdiObject bitmap = LoadBitmapA(ModuleFromAddress(&here), intResource(uint32_t(id)));
        ASSERT_NE(bitmap, nullptr) << id;
        BitmapInfo info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.width, 7);
        EXPECT_EQ(info.height, 5);
        DeviceContext dc = CreateCompatibleDC(nullptr);
        GdiObject old = SelectObject(dc, bitmap);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const uint32_t c = picture.at(x, y);
                EXPECT_EQ(GetPixel(dc, x, y), rgb(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)))
                    << id << " at " << x << "," << y;
            }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    static const char elsewhere = 0;
    EXPECT_EQ(LoadBitmapA(ModuleFromAddress(&elsewhere), intResource(4242)), nullptr) << "unknown number";
}

TEST(GdiTest, CutShortOrUnknownBitmapFilesAreRefused)
{
    test::Picture picture(4, 4, 0x445566);
    std::vector<unsigned char> cut = test::dib24(picture);
    cut.resize(cut.size() - 10);
    test::registerBitmap(9010, cut);
    std::vector<unsigned char> odd = test::dib24(picture);
    odd[28] = 16; // 16 bits per pixel
    test::registerBitmap(9011, odd);
    static const char here = 0;
    EXPECT_EQ(LoadBitmapA(ModuleFromAddress(&here), intResource(9010)), nullptr);
    EXPECT_EQ(LoadBitmapA(ModuleFromAddress(&here), intResource(9011)), nullptr);
}

} // namespace
} // namespace voltara::platform
