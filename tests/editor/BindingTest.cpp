#include "tests/editor/EditorTestKit.h"

#include "editor/RateDisplay.h"
#include "platform/PopupMenu.h"

// Both ways between the controls and the rack's parameters: what the mouse
// changes and tells the host, and what the controls show after changes made
// elsewhere.

namespace voltara::test {
namespace {

namespace host = platform::host;

constexpr int32_t wahOn = 8;
constexpr int32_t filterOn = 16;
constexpr int32_t phaserOn = 24;
constexpr int32_t phaserRate = 26;
constexpr int32_t delaySync = 49;
constexpr int32_t delayTime = 50;
constexpr int32_t phaserRateKnob = 3;
constexpr int32_t phaserDisplay = 24;
constexpr int32_t delayDisplay = 26;
constexpr int32_t reverbDisplayControl = 27;
constexpr int32_t firstSplash = 47;

struct BindingTest : EditorTest {
    std::vector<std::pair<int32_t, float>> automation() const
    {
        std::vector<std::pair<int32_t, float>> seen;
        for (const TestHost::Call& call : callsOf(hostAutomate))
            seen.push_back({call.index, call.opt});
        return seen;
    }
};

TEST_F(BindingTest, SwitchingTheWahOrTheFilterOnSwitchesTheOtherOff)
{
    struct Case {
        int32_t clicked;
        int32_t other;
    };
    for (const Case c : {Case{wahOn, filterOn}, Case{filterOn, wahOn}}) {
        SCOPED_TRACE("clicking " + std::to_string(c.clicked));
        openEditor();
        setParameter(c.clicked, 0.0f);
        setParameter(c.other, 0.0f);
        idle();
        const Area otherOff = controlArea(controlWithTag(c.other));
        setParameter(c.other, 1.0f);
        idle();
        ASSERT_NE(controlArea(controlWithTag(c.other)), otherOff);

        host->calls.clear();
        clickControl(controlWithTag(c.clicked));
        EXPECT_EQ(parameter(c.clicked), 1.0f);
        EXPECT_EQ(parameter(c.other), 0.0f);
        const std::vector<std::pair<int32_t, float>> told = {{c.other, 0.0f}, {c.clicked, 1.0f}};
        EXPECT_EQ(automation(), told) << "the other goes off first";
        EXPECT_EQ(controlArea(controlWithTag(c.other)), otherOff) << "its button follows";

        // Switching off changes nothing else.
        clickControl(controlWithTag(c.clicked));
        EXPECT_EQ(parameter(c.clicked), 0.0f);
        EXPECT_EQ(parameter(c.other), 0.0f);
        closeEditor();
    }
}

TEST_F(BindingTest, DraggingTheKnobTellsTheHostAndRedrawsOnlyTheKnobAndItsDisplay)
{
    openEditor();
    host->dispatch(opEditorKnobStyle, 0, 2); // linear: 200 pixels up for the whole range
    setParameter(phaserRate, 0.0f);
    setParameter(25, 0.0f); // free running: the display shows Hz
    idle();
    const Area displayBefore = controlArea(phaserDisplay);
    forgetDrawing();
    host->calls.clear();

    drag({{276, 199}, {276, 150}, {276, 100}, {276, 50}, {276, -20}});
    EXPECT_EQ(parameter(phaserRate), 1.0f);
    const std::vector<TestHost::Call> edits = callsOf(hostBeginGesture);
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].index, phaserRate);
    EXPECT_EQ(host->calls.front().opcode, hostBeginGesture);
    ASSERT_EQ(callsOf(hostEndGesture).size(), 1u);
    EXPECT_EQ(callsOf(hostEndGesture)[0].index, phaserRate);
    const std::vector<std::pair<int32_t, float>> told = automation();
    ASSERT_GE(told.size(), 2u);
    for (const auto& call : told)
        EXPECT_EQ(call.first, phaserRate);
    EXPECT_EQ(told.back().second, 1.0f);

    const Rect knob = rackControls[phaserRateKnob - 1].rect;
    const Rect display = rackControls[phaserDisplay - 1].rect;
    bool knobDrawn = false, displayDrawn = false;
    for (const platform::WinRect& drawn : drawnSinceForgotten()) {
        const bool inKnob = drawn.left >= knob.left && drawn.right <= knob.right && drawn.top >= knob.top
                            && drawn.bottom <= knob.bottom;
        const bool inDisplay = drawn.left >= display.left && drawn.right <= display.right && drawn.top >= display.top
                               && drawn.bottom <= display.bottom;
        EXPECT_TRUE(inKnob || inDisplay) << "drawn: " << drawn.left << ", " << drawn.top << ", " << drawn.right << ", "
                                         << drawn.bottom;
        knobDrawn |= inKnob;
        displayDrawn |= inDisplay;
    }
    EXPECT_TRUE(knobDrawn);
    EXPECT_TRUE(displayDrawn);
    EXPECT_NE(controlArea(phaserDisplay), displayBefore);
    EXPECT_EQ(controlArea(phaserDisplay), afterReopening(rackControls[phaserDisplay - 1].rect));
}

TEST_F(BindingTest, ANoteChosenInADisplaySyncsItsModuleAtThatNote)
{
    openEditor();
    setParameter(delaySync, 0.0f);
    setParameter(delayTime, 0.5f);
    idle();
    answerMenus({10});
    host->calls.clear();
    clickControl(delayDisplay);

    ASSERT_EQ(menusShown, 1);
    ASSERT_EQ(lastMenu.size(), size_t(RateDisplay::noteCount));
    for (int entry = 0; entry < RateDisplay::noteCount; ++entry) {
        EXPECT_EQ(lastMenu[size_t(entry)].text, RateDisplay::noteEntries[entry]);
        EXPECT_EQ((lastMenu[size_t(entry)].flags & platform::MF_CHECKED) != 0, entry == 7)
            << "the free time at 0.5 lies at entry 7";
    }
    EXPECT_EQ(parameter(delaySync), 1.0f);
    EXPECT_EQ(parameter(delayTime), 10.5f * 0.063f);
    const std::vector<std::pair<int32_t, float>> told = {{delaySync, 1.0f}, {delayTime, 10.5f * 0.063f}};
    EXPECT_EQ(automation(), told);
    const Area shown = controlArea(delayDisplay);
    EXPECT_EQ(shown, afterReopening(rackControls[delayDisplay - 1].rect));
}

TEST_F(BindingTest, ClosingTheNotePopupWithoutAChoiceSyncsAtTheNoteItShowed)
{
    openEditor();
    setParameter(25, 0.0f);
    setParameter(phaserRate, 0.5f);
    idle();
    answerMenus({-1});
    clickControl(phaserDisplay);
    ASSERT_EQ(menusShown, 1);
    EXPECT_EQ(parameter(25), 1.0f);
    EXPECT_EQ(parameter(phaserRate), 7.5f * 0.063f);
}

TEST_F(BindingTest, ASyncSwitchTurnsItsDisplayBetweenNoteAndFreeRate)
{
    openEditor();
    for (int32_t display = 0; display < rateDisplayCount; ++display) {
        const RateGroup& group = rateGroups[display];
        if (group.syncIndex < 0)
            continue;
        SCOPED_TRACE("display " + std::to_string(display));
        const int32_t displayNumber = displayRowOf(display) + 1;
        const Rect rect = rackControls[displayNumber - 1].rect;
        setParameter(group.syncIndex, 1.0f);
        setParameter(group.rateIndex, 0.3f);
        idle();
        const Area synced = controlArea(displayNumber);
        clickControl(controlWithTag(group.syncIndex));
        EXPECT_EQ(parameter(group.syncIndex), 0.0f);
        const Area free = controlArea(displayNumber);
        EXPECT_NE(free, synced);
        EXPECT_EQ(free, afterReopening(rect));
        clickControl(controlWithTag(group.syncIndex));
        EXPECT_EQ(controlArea(displayNumber), synced);
    }
}

TEST_F(BindingTest, TheReverbDisplayOpensNoPopup)
{
    openEditor();
    answerMenus({3});
    host->calls.clear();
    clickControl(reverbDisplayControl);
    EXPECT_EQ(menusShown, 0);
    EXPECT_TRUE(automation().empty());
}

TEST_F(BindingTest, AutomationOfParametersWithoutAControlDrawsNothing)
{
    openEditor();
    const Area before = area(wholeWindow);
    forgetDrawing();
    for (int32_t index : {13, 2, 55, 70})
        setParameter(index, 0.77f);
    idle();
    EXPECT_TRUE(drawnSinceForgotten().empty());
    EXPECT_EQ(area(wholeWindow), before);
}

// The lamps lie on the module buttons; whatever redraws a button must not
// leave its lamp dark.
TEST_F(BindingTest, AnLedStaysLitWhenTheButtonUnderItIsDrawnAgain)
{
    openEditor();
    const Rect phaserLed = ledPlaces[1], wahLed = ledPlaces[5];
    setParameter(phaserOn, 0.0f);
    setParameter(wahOn, 0.0f);
    idle();
    const Area phaserDark = area(phaserLed), wahDark = area(wahLed);
    setParameter(phaserOn, 1.0f);
    setParameter(wahOn, 1.0f);
    playAudio(20000);
    idle();
    const Area phaserLit = area(phaserLed), wahLit = area(wahLed);
    ASSERT_NE(phaserLit, phaserDark) << "the test needs lit lamps";
    ASSERT_NE(wahLit, wahDark);

    // Automation that redraws the buttons and leaves the modules on.
    setParameter(phaserOn, 0.9f);
    setParameter(wahOn, 0.9f);
    idle();
    EXPECT_EQ(area(phaserLed), phaserLit);
    EXPECT_EQ(area(wahLed), wahLit);

    // Clicks: off and on again.
    setParameter(phaserOn, 1.0f);
    idle();
    clickControl(controlWithTag(phaserOn));
    EXPECT_EQ(area(phaserLed), phaserDark);
    clickControl(controlWithTag(phaserOn));
    EXPECT_EQ(area(phaserLed), phaserLit);

    // The whole frame drawn again, when the splash picture closes.
    clickControl(firstSplash);
    click(300, 160);
    EXPECT_EQ(area(phaserLed), phaserLit);
    EXPECT_EQ(area(wahLed), wahLit);
}

} // namespace
} // namespace voltara::test
