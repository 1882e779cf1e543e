#include "tests/editor/EditorTestKit.h"

#include "resources/BitmapTable.h"
#include "resources/DibFile.h"

#include <string>

// The window as a host sees it: its size, opening and closing, what is
// built and drawn each time, and the areas without a control.

namespace voltara::test {
namespace {

namespace host = platform::host;

struct EditorWindowTest : EditorTest {
    EditorRect size()
    {
        void* rect = nullptr;
        EXPECT_EQ(host->dispatch(opEditorGetRect, 0, 0, &rect), 1);
        return rect ? *static_cast<EditorRect*>(rect) : EditorRect{};
    }
};

TEST_F(EditorWindowTest, TheWindowIs600By354BeforeAndAfterOpening)
{
    makeInstance();
    EXPECT_EQ(host->descriptor()->flags & DescriptorFlag::hasEditor, DescriptorFlag::hasEditor);
    for (int pass = 0; pass < 2; ++pass) {
        const EditorRect rect = size();
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.bottom, 354);
        EXPECT_EQ(rect.right, 600);
        openEditor();
    }
}

TEST_F(EditorWindowTest, EveryOpenShowsTheParametersAsTheyAreThenFromBitmapsLoadedOnce)
{
    const int loadsBefore = host::bitmapLoads();
    openEditor();
    EXPECT_EQ(host::bitmapLoads() - loadsBefore, bitmapCount);
    // Changes made while closed reach nothing; the next open reads them all.
    closeEditor();
    forgetDrawing();
    const struct {
        int32_t index;
        float value;
    } changes[] = {{26, 0.9f}, {25, 1.0f}, {16, 1.0f}, {51, 0.67f}, {58, 1.0f}, {12, 0.2f}, {0, 1.0f}, {11, 0.1f}};
    for (const auto& change : changes)
        setParameter(change.index, change.value);
    host->dispatch(opSetProgram, 0, 4);
    for (const auto& change : changes)
        setParameter(change.index, change.value);
    idle();
    EXPECT_TRUE(drawnSinceForgotten().empty()) << "a closed editor draws nothing";

    openEditor();
    const Area reopened = area(wholeWindow);
    EXPECT_EQ(host::bitmapLoads() - loadsBefore, bitmapCount) << "the bitmaps are kept across closes";

    // The same values set while open, from other values, draw the same window.
    for (const auto& change : changes)
        setParameter(change.index, 0.5f);
    idle();
    EXPECT_NE(area(wholeWindow), reopened);
    for (const auto& change : changes)
        setParameter(change.index, change.value);
    idle();
    EXPECT_EQ(area(wholeWindow), reopened);
}

TEST_F(EditorWindowTest, AClickWhereNoControlLiesChangesNothing)
{
    openEditor();
    const Area before = area(wholeWindow);
    forgetDrawing();
    host->calls.clear();
    for (Point where : {Point{245, 170}, Point{140, 330}, Point{363, 100}})
        click(where.h, where.v);
    EXPECT_TRUE(host->calls.empty());
    EXPECT_TRUE(drawnSinceForgotten().empty());
    EXPECT_EQ(area(wholeWindow), before);
}

TEST_F(EditorWindowTest, BothSplashAreasOpenThePictureAndAClickOnItClosesIt)
{
    DibImage splash;
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(readFileBytes(std::string(VOLTARA_SOURCE_DIR) + "/resources/bitmaps/139.bmp", bytes));
    ASSERT_TRUE(decodeDib(bytes, splash, error)) << error;

    openEditor();
    const Area before = area(wholeWindow);
    // The second area reaches below the window; its last visible row counts.
    for (Point where : {Point{60, 338}, Point{500, 353}}) {
        click(where.h, where.v);
        for (Point inside : {Point{0, 0}, Point{199, 120}, Point{399, 239}})
            EXPECT_EQ(pixel(102 + inside.h, 40 + inside.v), splash.colourAt(inside.h, inside.v))
                << "after a click at " << where.h << ", " << where.v;
        click(300, 160);
        EXPECT_EQ(area(wholeWindow), before);
    }
}

} // namespace
} // namespace voltara::test
