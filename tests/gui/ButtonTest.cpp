#include "tests/gui/GuiTestKit.h"

#include "gui/GuiBitmap.h"
#include "gui/MomentaryButton.h"
#include "gui/SplashArea.h"
#include "gui/ToggleButton.h"

namespace voltara::test {
namespace {

namespace host = platform::host;
constexpr uint32_t left = host::leftButton;

struct ButtonTest : GuiTest {
    RecordingObserver observer;
};

TEST_F(ButtonTest, AControlIsDirtyWhileItsValueDiffersFromTheOneLastDrawn)
{
    openEditor([](Frame*) {});
    auto* toggle = new ToggleButton({0, 0, 10, 10}, nullptr, 3, nullptr);
    EXPECT_TRUE(toggle->isDirty()) << "never drawn";
    toggle->setDirty(false);
    EXPECT_FALSE(toggle->isDirty());
    toggle->setValue(1.0f);
    EXPECT_TRUE(toggle->isDirty());
    toggle->setDirty(false);
    toggle->setDirty(true);
    EXPECT_EQ(toggle->getOldValue(), -1.0f);
    toggle->setValue(-1.0f);
    toggle->setDirty(true);
    EXPECT_EQ(toggle->getOldValue(), 0.0f) << "a value of -1 still counts as changed";
    toggle->setMax(0.5f);
    toggle->setValue(3.0f);
    toggle->clampValue();
    EXPECT_EQ(toggle->getValue(), 0.5f);
    toggle->setValue(-3.0f);
    toggle->clampValue();
    EXPECT_EQ(toggle->getValue(), 0.0f);
    toggle->dropReference();
}

TEST_F(ButtonTest, AToggleButtonFlipsOnEveryClickControlIncludedAndDrawsItsHalf)
{
    GuiBitmap* strip = makeStrip(7500, 12, 10, 2);
    ToggleButton* toggle = nullptr;
    openEditor([&](Frame* f) {
        toggle = new ToggleButton({20, 20, 32, 30}, &observer, 9, strip);
        f->addView(toggle);
    });
    strip->dropReference();
    host::pumpMessages();
    EXPECT_EQ(pixel(20, 20), stripColour(0));
    click(25, 25);
    click(25, 25, left | host::controlKey);
    click(25, 25);
    EXPECT_EQ(observer.values(), (std::vector<float>{1, 0, 1}));
    editor->idle();
    EXPECT_EQ(pixel(20, 20), stripColour(1));
    EXPECT_EQ(pixel(31, 29), stripColour(1));
    EXPECT_EQ(TestPlugin::host.countCalls(hostBeginGesture), 0) << "no edit bracket";
}

TEST_F(ButtonTest, AMomentaryButtonReportsPressedOutsideAndReleased)
{
    GuiBitmap* strip = makeStrip(7501, 10, 8, 2);
    MomentaryButton* button = nullptr;
    openEditor([&](Frame* f) {
        button = new MomentaryButton({50, 50, 60, 58}, &observer, 1, 8, strip, {0, 0});
        f->addView(button);
    });
    strip->dropReference();
    host::pumpMessages();
    play({at(0, 55, 54, left), at(30, 80, 80, left), at(60, 80, 80, 0)});
    EXPECT_EQ(observer.distinct(), (std::vector<float>{1, 0}));
    EXPECT_GE(observer.values().size(), 3u) << "outside, then released";
    EXPECT_EQ(TestPlugin::host.countCalls(hostBeginGesture), 1);
    EXPECT_EQ(TestPlugin::host.countCalls(hostEndGesture), 1);
    EXPECT_EQ(TestPlugin::host.calls.back().index, 1);

    observer.changes.clear();
    // The right button first, then the left while it is held.
    play({at(0, 55, 54, host::rightButton), at(10, 55, 54, left | host::rightButton), at(20, 55, 54, 0)});
    EXPECT_EQ(observer.values(), (std::vector<float>{1, 0})) << "inverted once, then released";

    observer.changes.clear();
    button->setValue(1.0f);
    editor->idle(); // drawn pressed
    play({at(0, 55, 54, left), at(30, 80, 80, left), at(60, 80, 80, 0)});
    EXPECT_EQ(observer.distinct(), (std::vector<float>{0, 1, 0})) << "from a start value of 1";

    button->setValue(1.0f);
    editor->idle();
    EXPECT_EQ(pixel(50, 50), stripColour(1));
}

TEST_F(ButtonTest, ASplashOpensAsTheModalViewAndAClickOnThePictureClosesIt)
{
    GuiBitmap* picture = makeStrip(7502, 40, 30, 1);
    SplashArea* splash = nullptr;
    ProbeView* under = nullptr;
    openEditor([&](Frame* f) {
        under = new ProbeView({200, 200, 260, 240}, colours::green);
        f->addView(under);
        splash = new SplashArea({10, 300, 50, 320}, &observer, 2, picture, {200, 200, 240, 230}, {0, 0});
        f->addView(splash);
    });
    picture->dropReference();
    host::pumpMessages();
    click(20, 310);
    EXPECT_EQ(frame()->getModalView(), splash);
    EXPECT_EQ(splash->getValue(), 1.0f);
    EXPECT_EQ(pixel(210, 210), stripColour(0));
    EXPECT_EQ(pixel(250, 235), 0x00FF00u) << "outside the picture";
    click(220, 215);
    EXPECT_EQ(frame()->getModalView(), nullptr);
    EXPECT_EQ(splash->getViewSize().left, 10);
    EXPECT_EQ(pixel(210, 210), 0x00FF00u) << "the whole frame is drawn again";
    EXPECT_EQ(observer.values(), (std::vector<float>{1, 0}));
}

TEST_F(ButtonTest, ASplashThatTheFrameRefusesStaysClosed)
{
    SplashArea* splash = nullptr;
    openEditor([&](Frame* f) {
        splash = new SplashArea({10, 300, 50, 320}, &observer, 2, nullptr, {200, 200, 240, 230}, {0, 0});
        f->addView(splash);
    });
    auto* other = new ProbeView({0, 0, 5, 5}, colours::red);
    frame()->setModalView(other);
    host::setInput(screen(20, 310), left);
    platform::DeviceContext dc = platform::GetDC(frame()->getSystemWindow());
    {
        PaintContext context(frame(), dc, frame()->getSystemWindow());
        splash->mouse(&context, {20, 310});
    }
    platform::ReleaseDC(frame()->getSystemWindow(), dc);
    host::setInput(screen(20, 310), 0);
    EXPECT_EQ(splash->getValue(), 0.0f);
    EXPECT_EQ(splash->getViewSize().left, 10);
    EXPECT_TRUE(observer.changes.empty());
    frame()->setModalView(nullptr);
    other->dropReference();
}

} // namespace
} // namespace voltara::test
