#include "tests/presenter/LiveTestKit.h"

#include "editor/RackLayout.h"
#include "editor/RateDisplay.h"
#include "platform/linux/x11/MenuLayout.h"

#include <X11/Xlib.h>

// Real X input (xdotool) on the live editor does what the scripted input of
// the editor's own tests does: a knob follows a drag, switches click, the
// pedal follows the mouse, the note popup of a rate display opens on the
// screen and its entry chosen by a click syncs the module; keys pass as a
// host passes them.

namespace voltara::test {
namespace {

namespace host = platform::host;

constexpr int32_t wahOn = 8;
constexpr int32_t wahResonance = 11;
constexpr int32_t pedal = 12;
constexpr int32_t filterOn = 16;
constexpr int32_t phaserSync = 25;
constexpr int32_t phaserRate = 26;
constexpr int32_t delaySync = 49;
constexpr int32_t delayTime = 50;
constexpr int32_t delayDisplay = 26;
constexpr int32_t phaserDisplay = 24;

Point middleOf(int32_t control)
{
    const Rect& r = rackControls[control - 1].rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int32_t controlWithTag(int32_t tag)
{
    return controlRowOf(tag) + 1;
}

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<std::string> press{"mousedown", "1"};
const std::vector<std::string> release{"mouseup", "1"};
std::vector<std::string> pause(const char* seconds)
{
    return {"sleep", seconds};
}

// The note popup's entries as the rate displays build them.
std::vector<host::MenuItem> noteMenu()
{
    std::vector<host::MenuItem> items;
    for (const char* entry : RateDisplay::noteEntries)
        items.push_back({entry, 0, 0, {}});
    return items;
}

struct LiveInputTest : LiveTest {
    // Clicks a rate display and the entry of its popup; the popup opens at
    // the click point, two pixels down.
    void chooseNote(int32_t display, int entry)
    {
        const Point at = middleOf(display);
        const std::vector<host::MenuItem> items = noteMenu();
        const platform::x11::MenuLayout layout(items);
        const platform::WinRect& place = layout.entries()[size_t(entry)].rect;
        xdotool(join({moveTo(at.h, at.v),
                      press,
                      pause("0.3"),
                      release,
                      pause("0.3"),
                      moveTo(at.h + (place.left + place.right) / 2, at.v + 2 + (place.top + place.bottom) / 2),
                      pause("0.2"),
                      {"click", "1"}}));
    }
};

TEST_F(LiveInputTest, AKnobFollowsADragAsOneEdit)
{
    host->dispatch(opEditorKnobStyle, 0, 2); // linear: 200 pixels up for the whole range
    host->setParameter(phaserRate, 0.0f);
    openEditor();
    host->calls.clear();
    // As a hand moves: a step every 50 ms.
    xdotool(join({moveTo(276, 199), press, pause("0.05"), moveTo(276, 150), pause("0.05"), moveTo(276, 100),
                  pause("0.05"), moveTo(276, 50), pause("0.05"), moveTo(276, -20), pause("0.2"), release}));
    EXPECT_EQ(parameter(phaserRate), 1.0f);
    ASSERT_EQ(callsOf(hostBeginGesture).size(), 1u);
    ASSERT_EQ(callsOf(hostEndGesture).size(), 1u);
    EXPECT_EQ(callsOf(hostBeginGesture)[0].index, phaserRate);
    const std::vector<TestHost::Call> told = callsOf(hostAutomate);
    ASSERT_GE(told.size(), 2u) << "the knob moved on the way";
    EXPECT_EQ(told.back().opt, 1.0f);
    EXPECT_TRUE(capture(window).pixels == windowSystemPixels().pixels) << "what it drew is on the screen";
}

TEST_F(LiveInputTest, SwitchingTheWahOnSwitchesTheFilterOff)
{
    host->setParameter(wahOn, 0.0f);
    host->setParameter(filterOn, 1.0f);
    openEditor();
    const Point wah = middleOf(controlWithTag(wahOn));
    xdotool(join({moveTo(wah.h, wah.v), {"click", "1"}}));
    EXPECT_EQ(parameter(wahOn), 1.0f);
    EXPECT_EQ(parameter(filterOn), 0.0f);
    EXPECT_TRUE(capture(window).pixels == windowSystemPixels().pixels);
}

TEST_F(LiveInputTest, ThePedalFollowsTheMouseHeight)
{
    openEditor();
    const Point at = middleOf(controlWithTag(pedal));
    xdotool(join({moveTo(at.h, at.v), press, moveTo(at.h, 150), moveTo(at.h, 100), pause("0.2"), release}));
    EXPECT_EQ(parameter(pedal), 1.0f) << "held at 1 above y = 110";
    xdotool(join({moveTo(at.h, at.v), press, moveTo(at.h, 300), moveTo(at.h, 340), pause("0.2"), release}));
    EXPECT_EQ(parameter(pedal), 0.0f) << "held at 0 below y = 310";
}

TEST_F(LiveInputTest, ANoteChosenInTheRealPopupSyncsItsModuleAtThatNote)
{
    host->setParameter(delaySync, 0.0f);
    host->setParameter(delayTime, 0.5f);
    openEditor();
    host->calls.clear();
    chooseNote(delayDisplay, 10);
    EXPECT_EQ(parameter(delaySync), 1.0f);
    EXPECT_EQ(parameter(delayTime), 10.5f * 0.063f);
    std::vector<std::pair<int32_t, float>> told;
    for (const TestHost::Call& call : callsOf(hostAutomate))
        told.push_back({call.index, call.opt});
    const std::vector<std::pair<int32_t, float>> expected = {{delaySync, 1.0f}, {delayTime, 10.5f * 0.063f}};
    EXPECT_EQ(told, expected) << "and the click that chose reached no control";
}

TEST_F(LiveInputTest, ThePopupClosedByEscapeOrAClickOutsideSyncsAtTheNoteItShowed)
{
    struct Case {
        const char* how;
        std::vector<std::string> closing;
    };
    const Point display = middleOf(phaserDisplay);
    const Case cases[] = {{"Escape", {"key", "Escape"}},
                          {"a click outside", join({moveTo(500, 300), pause("0.2"), {"click", "1"}})}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        host->setParameter(phaserSync, 0.0f);
        host->setParameter(phaserRate, 0.5f);
        openEditor();
        const float chorusOn = parameter(40);
        xdotool(join({moveTo(display.h, display.v), press, pause("0.3"), release, pause("0.3"), c.closing}));
        EXPECT_EQ(parameter(phaserSync), 1.0f);
        EXPECT_EQ(parameter(phaserRate), 7.5f * 0.063f);
        EXPECT_EQ(parameter(40), chorusOn) << "the click outside reached no control";
        editor.reset();
    }
}

TEST_F(LiveInputTest, ArrowKeysPassToTheEditorAsAHostPassesThem)
{
    host->setParameter(wahResonance, 0.5f);
    openEditor();
    XSetInputFocus(viewer, window, RevertToParent, CurrentTime);
    XSync(viewer, False);
    // The last knob added takes the keys: a tenth of the range a press.
    xdotool({"key", "--window", std::to_string(window), "Up"});
    EXPECT_FLOAT_EQ(parameter(wahResonance), 0.6f);
}

} // namespace
} // namespace voltara::test
