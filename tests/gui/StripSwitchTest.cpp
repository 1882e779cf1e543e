#include "tests/gui/GuiTestKit.h"

#include "gui/GuiBitmap.h"
#include "gui/StripSwitch.h"

namespace voltara::test {
namespace {

namespace host = platform::host;
constexpr uint32_t left = host::leftButton;

struct StripSwitchTest : GuiTest {
    void openWith(StripSwitch*& made, bool vertical)
    {
        GuiBitmap* strip = makeStrip(7600, 30, 30, 3);
        openEditor([&](Frame* f) {
            if (vertical)
                made = new VerticalStripSwitch({100, 100, 130, 130}, &observer, 58, 3, 30, 3, strip, {0, 0});
            else
                made = new HorizontalStripSwitch({100, 100, 130, 130}, &observer, 51, 3, 30, 3, strip, {0, 0});
            f->addView(made);
        });
        strip->dropReference();
        host::pumpMessages();
    }
    RecordingObserver observer;
};

TEST_F(StripSwitchTest, AVerticalSwitchMapsTenPixelBandsToItsPositionsAndDrawsTheirImages)
{
    StripSwitch* strip = nullptr;
    openWith(strip, true);
    struct Case {
        int offset;
        float value;
        int image;
    };
    const Case cases[] = {{0, 0.0f, 0}, {9, 0.0f, 0}, {10, 0.5f, 1}, {19, 0.5f, 1}, {20, 1.0f, 2}, {29, 1.0f, 2}};
    for (const Case& c : cases) {
        click(110, 100 + c.offset);
        EXPECT_EQ(strip->getValue(), c.value) << c.offset;
        editor->idle();
        EXPECT_EQ(pixel(100, 100), stripColour(c.image)) << c.offset;
        EXPECT_EQ(pixel(129, 129), stripColour(c.image)) << c.offset;
    }
    EXPECT_EQ(TestPlugin::host.countCalls(hostBeginGesture), 6);
}

TEST_F(StripSwitchTest, AHorizontalSwitchMapsAcrossTheBackgroundWidth)
{
    StripSwitch* strip = nullptr;
    openWith(strip, false);
    click(105, 110);
    EXPECT_EQ(strip->getValue(), 0.0f);
    click(115, 110);
    EXPECT_EQ(strip->getValue(), 0.5f);
    click(125, 110);
    EXPECT_EQ(strip->getValue(), 1.0f);
}

TEST_F(StripSwitchTest, ADragEndsWhenTheMouseStateChanges)
{
    StripSwitch* strip = nullptr;
    openWith(strip, true);
    play({at(0, 110, 105, left), at(20, 110, 125, left), at(40, 110, 105, left | host::shiftKey), at(60, 110, 105, 0)});
    EXPECT_EQ(strip->getValue(), 1.0f) << "the move that came with Shift was not followed";
    EXPECT_EQ(observer.distinct(), std::vector<float>{1});
}

TEST_F(StripSwitchTest, ControlClickSetsTheDefault)
{
    StripSwitch* strip = nullptr;
    openWith(strip, true);
    strip->setValue(1.0f);
    editor->idle(); // drawn at 1
    click(110, 125, left | host::controlKey);
    EXPECT_EQ(strip->getValue(), 0.0f);
    EXPECT_EQ(observer.values(), std::vector<float>{0});
    EXPECT_EQ(TestPlugin::host.countCalls(hostBeginGesture), 0);
}

} // namespace
} // namespace voltara::test
