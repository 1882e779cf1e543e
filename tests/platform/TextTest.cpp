#include "platform/Gdi.h"
#include "platform/linux/Host.h"

#include <gtest/gtest.h>

#include <cstring>

// DrawTextA with FreeType glyphs: alignment, opaque cells, font requests.

namespace voltara::platform {
namespace {

constexpr ColourRef white = 0xFFFFFF;

struct TextTest : ::testing::Test {
    void SetUp() override
    {
        if (!host::fontsAvailable())
            GTEST_SKIP() << "no Liberation or DejaVu font installed: text draws nothing";
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(width, height, 1, 32, nullptr);
        oldBitmap = SelectObject(dc, bitmap);
        font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_STRING_PRECIS, CLIP_STROKE_PRECIS,
                           DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
        oldFont = SelectObject(dc, font);
        clear();
    }
    void TearDown() override
    {
        if (!dc)
            return;
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(font);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void clear()
    {
        WinRect all{0, 0, width, height};
        FillRect(dc, &all, GetStockObject(WHITE_BRUSH));
    }
    // The bounding box of pixels that are not white.
    WinRect inked() const
    {
        WinRect box{width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (GetPixel(dc, x, y) != white) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box;
    }

    static constexpr int width = 120;
    static constexpr int height = 40;
    DeviceContext dc = nullptr;
    GdiObject bitmap = nullptr, oldBitmap = nullptr, font = nullptr, oldFont = nullptr;
};

TEST_F(TextTest, AlignmentPlacesTheTextInsideTheRectangle)
{
    SetBkMode(dc, TRANSPARENT);
    const uint32_t single = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    WinRect area{10, 5, 110, 35};
    DrawTextA(dc, "Mix", -1, &area, single | DT_LEFT);
    const WinRect left = inked();
    clear();
    DrawTextA(dc, "Mix", -1, &area, single | DT_CENTER);
    const WinRect centre = inked();
    clear();
    DrawTextA(dc, "Mix", -1, &area, single | DT_RIGHT);
    const WinRect right = inked();

    const int ink = left.right - left.left;
    ASSERT_GT(ink, 10);
    EXPECT_LE(left.left, 12) << "starts at the left edge (the M has a small side bearing)";
    EXPECT_GE(left.left, 10);
    EXPECT_GE(right.right, 105);
    EXPECT_LE(right.right, 110);
    EXPECT_EQ(right.right - right.left, ink);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 60.0, 2.0);
    EXPECT_NEAR((left.top + left.bottom) / 2.0, 20.0, 3.0) << "vertically centred";
    EXPECT_EQ(left.top, centre.top);
}

TEST_F(TextTest, OpaqueBackgroundFillsTheTextCellsOnly)
{
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, 0x0000FF);
    WinRect area{0, 0, width, height};
    const int cellHeight = DrawTextA(dc, "ab", -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    EXPECT_GE(cellHeight, 13);
    const WinRect cell = inked();
    EXPECT_EQ(cell.bottom - cell.top, cellHeight);
    EXPECT_EQ(GetPixel(dc, cell.left, cell.top), 0x0000FFu);
    EXPECT_EQ(GetPixel(dc, width - 1, 0), white) << "outside the cells";
}

TEST_F(TextTest, PrefixCharactersShowUnlessSwitchedOff)
{
    WinRect measure{0, 0, width, height};
    DrawTextA(dc, "a&b", -1, &measure, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    const int withAmpersand = measure.right;
    measure = {0, 0, width, height};
    DrawTextA(dc, "a&b", -1, &measure, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(withAmpersand, measure.right);
}

TEST_F(TextTest, AnUnknownFaceFallsBackByItsFamily)
{
    GdiObject unknown = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_STRING_PRECIS,
                                    CLIP_STROKE_PRECIS, DEFAULT_QUALITY, FF_DECORATIVE, "Symbol");
    LogFont record{};
    ASSERT_EQ(GetObjectA(unknown, sizeof record, &record), int(sizeof record));
    EXPECT_STREQ(record.faceName, "Symbol") << "the request is kept as made";
    SelectObject(dc, unknown);
    WinRect area{0, 0, width, height};
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, "x", -1, &area, DT_SINGLELINE | DT_LEFT);
    EXPECT_GT(inked().right, 0) << "still draws glyphs";
    SelectObject(dc, font);
    DeleteObject(unknown);
}

} // namespace
} // namespace voltara::platform
