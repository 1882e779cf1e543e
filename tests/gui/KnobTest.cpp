#include "tests/gui/GuiTestKit.h"

#include "gui/FilmstripKnob.h"
#include "gui/GuiBitmap.h"

#include <cmath>

namespace voltara::test {
namespace {

namespace host = platform::host;
constexpr uint32_t left = host::leftButton;
constexpr float pi = 3.14159265f;

// A 100 x 100 knob at (100, 100): the mouse at an angle (degrees) from its centre.
struct KnobTest : GuiTest {
    void openKnob()
    {
        openEditor([&](Frame* f) {
            knob = new RotaryKnob({100, 100, 200, 200}, &observer, 26, nullptr, nullptr, {0, 0});
            f->addView(knob);
        });
        host::pumpMessages();
    }
    platform::host::InputEvent atAngle(uint32_t time, float degrees, uint32_t held) const
    {
        const float a = degrees * pi / 180.0f;
        return at(time, 150 + int(std::lround(40 * std::cos(a))), 150 - int(std::lround(40 * std::sin(a))), held);
    }
    RotaryKnob* knob = nullptr;
    RecordingObserver observer;
};

TEST_F(KnobTest, ValuesAndPointsFollowTheAngles)
{
    openKnob();
    struct Case {
        int h, v;
        float value;
    };
    // relative to the knob: 225 degrees is 0, 90 degrees 0.5, -45 degrees 1
    const Case cases[] = {{50 - 30, 50 + 30, 0.0f}, {50, 10, 0.5f}, {80, 80, 1.0f}, {10, 50, 1.0f / 6.0f}};
    for (Case c : cases) {
        Point p{c.h, c.v};
        EXPECT_NEAR(knob->valueFromPoint(p), c.value, 1e-4f) << c.h << "," << c.v;
    }
    Point bottom{48, 95};
    EXPECT_EQ(knob->valueFromPoint(bottom), 0.0f) << "the gap beside the start gives the start";
    Point lowRight{85, 90};
    EXPECT_EQ(knob->valueFromPoint(lowRight), 1.0f) << "the gap beside the end gives the end";
    knob->setValue(0.5f);
    Point handle;
    knob->valueToPoint(handle);
    EXPECT_EQ(handle.h, 50);
    EXPECT_EQ(handle.v, 3) << "radius 50 less the inset of 3";

    // Counter-clockwise from the top to the bottom through the left.
    knob->setStartAngle(pi / 2);
    knob->setRangeAngle(pi);
    Point top{50, 10}, leftSide{10, 50}, low{50, 90}, rightSide{90, 52}, rightHigh{90, 48};
    EXPECT_NEAR(knob->valueFromPoint(top), 0.0f, 1e-4f);
    EXPECT_NEAR(knob->valueFromPoint(leftSide), 0.5f, 1e-4f);
    EXPECT_NEAR(knob->valueFromPoint(low), 1.0f, 1e-4f);
    EXPECT_EQ(knob->valueFromPoint(rightSide), 1.0f) << "gap, nearer the end";
    EXPECT_EQ(knob->valueFromPoint(rightHigh), 0.0f) << "gap, nearer the start";
}

TEST_F(KnobTest, CircularDragAcrossTheGapStaysAtTheMaximumUntilItComesBack)
{
    openKnob();
    play({atAngle(0, -40, left), atAngle(20, -70, left), atAngle(40, -90, left), atAngle(60, -110, left),
          atAngle(80, -140, left), atAngle(100, -110, left), atAngle(120, -30, left), atAngle(140, -30, 0)});
    const std::vector<float> seen = observer.distinct();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_NEAR(seen[0], 1.0f - 5.0f / 270.0f, 1e-3f) << "the click sets the angle under the mouse";
    EXPECT_EQ(seen[1], 1.0f) << "pinned across the gap";
    EXPECT_NEAR(knob->getValue(), 1.0f - 15.0f / 270.0f, 1e-3f) << "followed again back in the arc";
    for (float v : seen)
        EXPECT_GT(v, 0.9f) << "never jumped to the other end";
    EXPECT_EQ(TestPlugin::host.countCalls(hostBeginGesture), 1);
    EXPECT_EQ(TestPlugin::host.countCalls(hostEndGesture), 1);
    EXPECT_EQ(frame()->getFocusView(), knob);
}

TEST_F(KnobTest, LinearDragOfTwoHundredPixelsCoversTheRangeAndShiftMakesItFiner)
{
    openKnob();
    editor->setKnobStyle(2);
    play({at(0, 150, 195, left), at(20, 150, 95, left), at(40, 150, -5, left), at(60, 150, -5, 0)});
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);

    knob->setValue(0.0f);
    editor->idle();
    play({at(0, 150, 195, left | host::shiftKey), at(20, 150, -5, left | host::shiftKey), at(40, 150, -5, 0)});
    EXPECT_NEAR(knob->getValue(), 1.0f / 1.5f, 1e-5f);

    knob->setValue(0.0f);
    editor->idle();
    observer.changes.clear();
    play({at(0, 150, 195, left), at(20, 150, 95, left), at(40, 150, 95, left | host::shiftKey),
          at(60, 150, -5, left | host::shiftKey), at(80, 150, -5, 0)});
    const std::vector<float> seen = observer.distinct();
    ASSERT_EQ(seen.size(), 2u) << "no jump when Shift went down";
    EXPECT_NEAR(seen[0], 0.5f, 1e-5f);
    EXPECT_NEAR(seen[1], 0.5f + 100.0f / 300.0f, 1e-5f);
}

TEST_F(KnobTest, AltInvertsTheKnobMode)
{
    openKnob();
    play({at(0, 150, 195, left | host::altKey), at(20, 150, 95, left | host::altKey), at(40, 150, 95, 0)});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5f) << "linear while the mode is circular";
}

TEST_F(KnobTest, ControlClickSetsTheDefaultWithoutAnEdit)
{
    openKnob();
    knob->setValue(0.2f);
    editor->idle();
    click(150, 110, left | host::controlKey);
    EXPECT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(observer.values(), std::vector<float>{0.5f});
    EXPECT_EQ(TestPlugin::host.countCalls(hostBeginGesture), 0);
}

TEST_F(KnobTest, WheelAndArrowKeysStepTheValue)
{
    openKnob();
    knob->setValue(0.5f);
    host::setInput(screen(150, 150), 0);
    EXPECT_TRUE(editor->onWheel(2.0f));
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-6f);
    host::setInput(screen(150, 150), host::shiftKey);
    editor->onWheel(-1.0f);
    EXPECT_NEAR(knob->getValue(), 0.69f, 1e-6f);
    host::setInput(screen(150, 150), 0);

    struct Case {
        uint8_t key, modifier;
        float change;
        int32_t answer;
    };
    const Case cases[] = {{12, 0, 0.1f, 1}, {13, 1, 0.01f, 1}, {11, 0, -0.1f, 1}, {14, 1, -0.01f, 1}, {40, 0, 0, -1}};
    for (const Case& c : cases) {
        const float before = knob->getValue();
        KeyRecord key{0, c.key, c.modifier};
        EXPECT_EQ(knob->onKeyDown(&key), c.answer);
        EXPECT_NEAR(knob->getValue() - before, c.change, 1e-6f) << int(c.key);
    }
    knob->setValue(0.95f);
    KeyRecord up{0, 12, 0};
    knob->onKeyDown(&up);
    EXPECT_EQ(knob->getValue(), 1.0f) << "kept in range";
    EXPECT_FALSE(observer.changes.back().hadContext) << "keys report without a context";
}

TEST_F(KnobTest, TheHandleLineIsDrawnFromTheRimToTheCentre)
{
    openKnob();
    knob->setValue(0.5f); // straight up
    editor->idle();
    EXPECT_EQ(pixel(150, 120), 0xFFFFFFu) << "the handle colour, one right and up of the shadow";
    EXPECT_EQ(pixel(149, 121), 0x7F7F7Fu) << "the shadow";
}

struct FilmstripKnobTest : GuiTest {
    void openStrip(bool inverse = false)
    {
        GuiBitmap* strip = makeStrip(7700, 18, 18, 128);
        openEditor([&](Frame* f) {
            knob = new FilmstripKnob({149, 196, 167, 214}, &observer, 17, 128, 18, strip, {0, 0});
            knob->setInverseBitmap(inverse);
            f->addView(knob);
        });
        strip->dropReference();
        host::pumpMessages();
    }
    int imageShown() const
    {
        const uint32_t colour = pixel(149, 196);
        for (int k = 0; k < 128; ++k)
            if (stripColour(k) == colour && pixel(166, 213) == colour)
                return k;
        return -1;
    }
    FilmstripKnob* knob = nullptr;
    RecordingObserver observer;
};

TEST_F(FilmstripKnobTest, TheValuePicksTheImage)
{
    openStrip();
    struct Case {
        float value;
        int image;
    };
    const Case cases[] = {{0.0f, 0}, {0.5f, 63}, {1.0f, 127}, {-0.3f, 0}, {0.999f, 126}, {2.0f, 127}};
    for (const Case& c : cases) {
        knob->setValue(c.value);
        editor->idle();
        EXPECT_EQ(imageShown(), c.image) << c.value;
    }
}

TEST_F(FilmstripKnobTest, InverseShowsTheStripBackwards)
{
    openStrip(true);
    knob->setValue(1.0f);
    editor->idle();
    EXPECT_EQ(imageShown(), 0);
    knob->setValue(0.0f);
    editor->idle();
    EXPECT_EQ(imageShown(), 127);
}

TEST_F(FilmstripKnobTest, ADragMovesTheValueBracketsTheEditAndRedrawsAtTheNextIdle)
{
    openStrip();
    editor->setKnobStyle(2);
    knob->setValue(0.0f);
    editor->idle();
    play({at(0, 158, 205, left), at(30, 158, 155, left), at(60, 158, 105, left), at(200, 158, 105, 0)});
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    const auto& calls = TestPlugin::host.calls;
    int begin = -1, end = -1;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].opcode == hostBeginGesture && calls[i].index == 17)
            begin = int(i);
        if (calls[i].opcode == hostEndGesture && calls[i].index == 17)
            end = int(i);
    }
    EXPECT_GE(begin, 0);
    EXPECT_GT(end, begin);
    EXPECT_EQ(observer.changes.back().value, 0.5f);
    editor->idle();
    EXPECT_EQ(imageShown(), 63);
}

} // namespace
} // namespace voltara::test
