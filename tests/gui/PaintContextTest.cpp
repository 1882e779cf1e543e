#include "gui/PaintContext.h"
#include "platform/linux/Host.h"

#include <gtest/gtest.h>

#include <cstring>

namespace voltara {
namespace {

using namespace platform;

// A memory context on a white colour bitmap of its own.
struct PaintContextTest : ::testing::Test {
    void SetUp() override { canvas = makeCanvas(bitmap, oldBitmap); }
    void TearDown() override { dropCanvas(canvas, bitmap, oldBitmap); }

    static DeviceContext makeCanvas(GdiObject& bitmap, GdiObject& old)
    {
        DeviceContext dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(width, height, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
        WinRect all{0, 0, width, height};
        FillRect(dc, &all, GetStockObject(WHITE_BRUSH));
        return dc;
    }
    static void dropCanvas(DeviceContext dc, GdiObject bitmap, GdiObject old)
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    LogFont currentFont() const
    {
        LogFont font{};
        GetObjectA(GetCurrentObject(canvas, OBJ_FONT), sizeof font, &font);
        return font;
    }

    static constexpr int width = 60;
    static constexpr int height = 30;
    DeviceContext canvas = nullptr;
    GdiObject bitmap = nullptr, oldBitmap = nullptr;
};

TEST_F(PaintContextTest, FillRectLeavesTheOutlineRowAndColumnThatDrawAreaCovers)
{
    PaintContext context(nullptr, canvas, nullptr);
    context.setFillColour(colours::red);
    context.fillRect({0, 0, 10, 10});
    EXPECT_EQ(GetPixel(canvas, 0, 5), 0xFFFFFFu) << "column 0 untouched";
    EXPECT_EQ(GetPixel(canvas, 5, 0), 0xFFFFFFu) << "row 0 untouched";
    EXPECT_EQ(GetPixel(canvas, 1, 1), 0x0000FFu);
    EXPECT_EQ(GetPixel(canvas, 9, 9), 0x0000FFu);
    EXPECT_EQ(GetPixel(canvas, 10, 10), 0xFFFFFFu);

    context.setFrameColour(colours::blue);
    context.drawArea({0, 0, 10, 10});
    int covered = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            covered += GetPixel(canvas, x, y) != 0xFFFFFFu;
    EXPECT_EQ(covered, 11 * 11);
    EXPECT_EQ(GetPixel(canvas, 10, 10), 0xFF0000u);
    EXPECT_EQ(GetPixel(canvas, 0, 0), 0xFF0000u);
}

TEST_F(PaintContextTest, FontIdsPickTheTableEntries)
{
    PaintContext context(nullptr, canvas, nullptr);
    struct Case {
        int32_t id, size, style;
        int32_t height, weight;
        const char* face;
        uint8_t pitchAndFamily, italic, underline;
    };
    const Case cases[] = {
        {9, 0, 0, -12, FW_BOLD, "Arial", VARIABLE_PITCH | FF_SWISS, 0, 0},
        {3, 0, 0, -12, FW_NORMAL, "Arial", VARIABLE_PITCH | FF_SWISS, 0, 0},
        {7, 0, 0, -13, FW_NORMAL, "Symbol", FF_DECORATIVE | DEFAULT_PITCH, 0, 0},
        {1, 0, 1, -18, FW_BOLD, "Arial", VARIABLE_PITCH | FF_SWISS, 0, 0},
        {6, 20, 6, -20, FW_NORMAL, "Arial", VARIABLE_PITCH | FF_SWISS, 1, 1},
        {0, 0, 0, -12, FW_BOLD, "Arial", VARIABLE_PITCH | FF_SWISS, 0, 0},
    };
    for (const Case& c : cases) {
        context.setFont(c.id, c.size, c.style);
        const LogFont font = currentFont();
        EXPECT_EQ(font.height, c.height) << c.id;
        EXPECT_EQ(font.weight, c.weight) << c.id;
        EXPECT_STREQ(font.faceName, c.face) << c.id;
        EXPECT_EQ(font.pitchAndFamily, c.pitchAndFamily) << c.id;
        EXPECT_EQ(font.italic, c.italic) << c.id;
        EXPECT_EQ(font.underline, c.underline) << c.id;
        EXPECT_EQ(font.charSet, ANSI_CHARSET);
        EXPECT_EQ(font.outPrecision, OUT_STRING_PRECIS);
        EXPECT_EQ(font.clipPrecision, CLIP_STROKE_PRECIS);
    }
    EXPECT_EQ(context.fontId(), 0);
    EXPECT_EQ(context.fontSize(), 12);
}

TEST_F(PaintContextTest, TheContextPutsBackWhatItFoundAndDeletesWhatItMade)
{
    GdiObject pen = GetCurrentObject(canvas, OBJ_PEN), brush = GetCurrentObject(canvas, OBJ_BRUSH);
    GdiObject font = GetCurrentObject(canvas, OBJ_FONT);
    GdiObject own;
    {
        PaintContext context(nullptr, canvas, nullptr);
        context.setFont(2);
        own = GetCurrentObject(canvas, OBJ_PEN);
        EXPECT_NE(own, pen);
        EXPECT_EQ(GetBkMode(canvas), TRANSPARENT);
    }
    EXPECT_EQ(GetCurrentObject(canvas, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(canvas, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(canvas, OBJ_FONT), font);
}

TEST_F(PaintContextTest, LeftAlignedTextStartsOnePixelIn)
{
    if (!host::fontsAvailable())
        GTEST_SKIP() << "no font for text";
    {
        PaintContext context(nullptr, canvas, nullptr);
        context.setFont(3);
        context.setFontColour(colours::black);
        context.drawString("Ab", {5, 0, 55, 30}, false, 0);
    }
    GdiObject otherBitmap, otherOld;
    DeviceContext other = makeCanvas(otherBitmap, otherOld);
    {
        PaintContext context(nullptr, other, nullptr);
        context.setFont(3);
        context.setFontColour(colours::black);
        WinRect moved{6, 0, 55, 30};
        DrawTextA(other, "Ab", -1, &moved, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    int differences = 0, inked = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            differences += GetPixel(canvas, x, y) != GetPixel(other, x, y);
            inked += GetPixel(canvas, x, y) != 0xFFFFFFu;
        }
    dropCanvas(other, otherBitmap, otherOld);
    EXPECT_GT(inked, 20);
    EXPECT_EQ(differences, 0);
}

TEST_F(PaintContextTest, OpaqueTextShowsTheFillColourAndTheNextTextIsTransparentAgain)
{
    if (!host::fontsAvailable())
        GTEST_SKIP() << "no font for text";
    PaintContext context(nullptr, canvas, nullptr);
    context.setFont(3);
    context.setFillColour(colours::green);
    context.setFontColour(colours::black);
    context.drawString("i    i", {0, 0, 60, 15}, true, 0);
    EXPECT_EQ(GetBkMode(canvas), TRANSPARENT);
    int green = 0;
    for (int x = 0; x < 20; ++x)
        green += GetPixel(canvas, x, 7) == 0x00FF00u;
    EXPECT_GT(green, 8) << "the cells behind the text take the fill colour";
    context.drawString("ii", {0, 15, 60, 30}, false, 0);
    for (int x = 0; x < width; ++x)
        for (int y = 15; y < 30; ++y)
            EXPECT_NE(GetPixel(canvas, x, y), 0x00FF00u);
}

} // namespace
} // namespace voltara
