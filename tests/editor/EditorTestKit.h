#pragma once

#include "editor/RackLayout.h"
#include "platform/linux/Host.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace voltara::test {

// The pixels of one area of the editor, to compare what two ways of getting
// there drew.
struct Area {
    Rect rect;
    std::vector<uint32_t> pixels;
    bool operator==(const Area& other) const { return pixels == other.pixels; }
    bool operator!=(const Area& other) const { return !(*this == other); }
};

inline constexpr Rect wholeWindow{0, 0, 600, 354};

// A real plug-in instance, loaded and driven through its descriptor, with
// its editor open in a host window on the simulated clock. The registry store
// is the test's own: without installContent the content folder is missing.
struct EditorTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;

    // Records the factory content folder, then makes the instance (which
    // loads the factory bank).
    void installContent();
    // The content folder recorded in the registry store; empty for none.
    std::string recordedContentFolder() const;
    // Makes the instance, when the test has not.
    void makeInstance();
    void openEditor();
    void closeEditor();
    // The host's idle call, with the window's messages served.
    void idle();

    // Input in window pixels: a click, and a drag through points 20 ms apart.
    void click(int x, int y, uint32_t held = platform::host::leftButton);
    void drag(const std::vector<Point>& points, uint32_t held = platform::host::leftButton);
    // A click in the middle of control number (1 to 48) of the layout.
    void clickControl(int32_t number);

    // Answers the next popup menus with these entries (-1: closed without a
    // choice); records what they offered.
    void answerMenus(std::vector<int> entries);
    std::vector<platform::host::MenuItem> lastMenu;
    int menusShown = 0;

    float parameter(int32_t index) { return host->getParameter(index); }
    void setParameter(int32_t index, float value) { host->setParameter(index, value); }
    // Plays this many frames of a steady tone through the rack, so that the
    // modules' LFOs move.
    void playAudio(int frames);

    uint32_t pixel(int x, int y) const;
    Area area(const Rect& rect) const;
    // The area as a freshly opened editor draws it for the parameters now.
    Area afterReopening(const Rect& rect = wholeWindow);
    Area controlArea(int32_t number) const { return area(rackControls[number - 1].rect); }
    // Forgets what was drawn so far.
    void forgetDrawing() { platform::host::takeDrawnAreas(parent); }
    std::vector<platform::WinRect> drawnSinceForgotten() { return platform::host::takeDrawnAreas(parent); }

    // The host calls with this opcode since the calls were last cleared.
    std::vector<TestHost::Call> callsOf(int32_t opcode) const;

    TempFolder store;
    ScopedEnvironment registry{"VOLTARA_REGISTRY", store.path().c_str()};
    std::unique_ptr<TestHost> host;
    platform::Window parent = nullptr;
    bool open = false;
};

// Control number (1 to 48) whose tag is this parameter.
int32_t controlWithTag(int32_t tag);

} // namespace voltara::test
