#include "tests/editor/EditorTestKit.h"

#include "platform/Window.h"
#include "resources/BitmapTable.h"
#include "resources/DibFile.h"

#include <string>
#include <vector>

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

TEST_F(EditorWindowTest, OpeningWithoutAWindowOfTheHostsFailsAndAsksNothing)
{
    makeInstance(); // without content: an open asks for the folder
    platform::Window gone = host::createParentWindow(600, 354);
    platform::DestroyWindow(gone);
    int notAWindow = 0;
    for (void* window : {static_cast<void*>(nullptr), static_cast<void*>(gone), static_cast<void*>(&notAWindow)})
        EXPECT_EQ(host->dispatch(opEditorOpen, 0, 0, window), 0);
    idle();
    EXPECT_EQ(host->countCalls(hostOpenFileSelector), 0);
    openEditor(); // into the host's own window it opens
    EXPECT_EQ(host->countCalls(hostOpenFileSelector), 1);
}

// A host may close the editor, or the whole plug-in, from inside any call
// the editor makes while a control follows the mouse (hosts run their own
// message loop in the idle call). The drag ends there, safely, whatever the
// control; a closed plug-in hears nothing more, a plug-in that stays gets the
// end of every edit begun.
TEST_F(EditorWindowTest, TheHostMayCloseTheEditorOrThePlugInFromAnyCallADragMakes)
{
    enum class Closes { editor, editorAndItsWindow, plugIn };
    struct Drag {
        ControlClass kind;
        std::vector<int32_t> calls; // the host calls a drag on it makes
    };
    const Drag drags[] = {
        {ControlClass::filmstripKnob, {hostAutomate, hostIdle, hostBeginGesture, hostEndGesture}},
        {ControlClass::toggleButton, {hostAutomate, hostIdle}},
        {ControlClass::horizontalStripSwitch, {hostAutomate, hostIdle, hostBeginGesture, hostEndGesture}},
        {ControlClass::verticalStripSwitch, {hostAutomate, hostIdle, hostBeginGesture, hostEndGesture}},
        {ControlClass::wahPedal, {hostAutomate, hostIdle, hostBeginGesture, hostEndGesture}},
        {ControlClass::momentaryButton, {hostAutomate, hostIdle, hostBeginGesture, hostEndGesture}},
        {ControlClass::rateDisplay, {hostAutomate, hostIdle}},
        {ControlClass::splashArea, {hostAutomate}},
    };
    for (const Drag& drag : drags) {
        int32_t number = 1;
        while (rackControls[number - 1].kind != drag.kind)
            ++number;
        const Rect& rect = rackControls[number - 1].rect;
        const Point middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        for (const int32_t trigger : drag.calls)
            for (const Closes closes : {Closes::editor, Closes::editorAndItsWindow, Closes::plugIn}) {
                SCOPED_TRACE("control " + std::to_string(number) + ", host call " + std::to_string(trigger)
                             + ", closing " + std::to_string(int(closes)));
                host.reset();
                openEditor();
                answerMenus({3});
                size_t callsWhenClosed = 0;
                bool closed = false;
                host->respond = [&](const TestHost::Call& call, void*) -> std::optional<intptr_t> {
                    if (call.opcode != trigger || closed)
                        return std::nullopt;
                    closed = true;
                    if (closes == Closes::plugIn) {
                        host->close();
                    } else {
                        host->dispatch(opEditorClose);
                        if (closes == Closes::editorAndItsWindow) {
                            platform::DestroyWindow(parent);
                            parent = nullptr;
                        }
                    }
                    callsWhenClosed = host->calls.size();
                    return std::nullopt;
                };
                const platform::WinPoint at = host::toScreen(parent, middle.h, middle.v);
                host::play({host::at(0, at, host::leftButton), host::at(20, {at.x, at.y - 10}, host::leftButton),
                            host::at(40, {at.x + 5, at.y - 25}, host::leftButton),
                            host::at(60, {at.x + 5, at.y - 25}, 0)});
                host::runScript();
                ASSERT_TRUE(closed);
                if (closes == Closes::plugIn) {
                    EXPECT_EQ(host->calls.size(), callsWhenClosed) << "a closed plug-in called its host";
                } else {
                    EXPECT_EQ(host->countCalls(hostBeginGesture), host->countCalls(hostEndGesture));
                    host->respond = nullptr;
                    if (!parent)
                        parent = host::createParentWindow(600, 354, 100, 60);
                    openEditor(); // and it works again
                    const float before = parameter(0);
                    clickControl(controlWithTag(0));
                    EXPECT_NE(parameter(0), before);
                }
                host::setMenuChooser(nullptr);
                menusShown = 0;
            }
    }
    host.reset();
    makeInstance();
}

} // namespace
} // namespace voltara::test
