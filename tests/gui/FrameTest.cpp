#include "tests/gui/GuiTestKit.h"

#include "gui/GuiBitmap.h"
#include "platform/Window.h"
#include "tests/support/TestBitmaps.h"

#include <cstring>

namespace voltara::test {
namespace {

namespace host = platform::host;

class FrameTest : public GuiTest {};

TEST_F(FrameTest, ClicksAndDropsReachOnlyTheLaterOfTwoOverlappingViews)
{
    std::vector<std::string> log;
    ProbeView *lower = nullptr, *upper = nullptr;
    openEditor([&](Frame* f) {
        lower = new ProbeView({10, 10, 60, 60}, colours::red, &log, "lower");
        upper = new ProbeView({40, 40, 90, 90}, colours::blue, &log, "upper");
        f->addView(lower);
        f->addView(upper);
    });
    click(50, 50);
    click(20, 20);
    host::dropFiles(frame()->getSystemWindow(), {45, 45}, {"/tmp/a.fxb"});
    EXPECT_EQ(log, (std::vector<std::string>{"upper mouse", "lower mouse", "upper drop"}));
    EXPECT_EQ(upper->lastWhere.h, 45);
    EXPECT_EQ(upper->dropped, std::vector<std::string>{"/tmp/a.fxb"});
}

TEST_F(FrameTest, AViewWithTheMouseDisabledNeverReceivesClicks)
{
    std::vector<std::string> log;
    openEditor([&](Frame* f) {
        f->addView(new ProbeView({10, 10, 60, 60}, colours::red, &log, "lower"));
        auto* upper = new ProbeView({10, 10, 60, 60}, colours::blue, &log, "upper");
        upper->enableMouse(false);
        f->addView(upper);
    });
    click(30, 30);
    EXPECT_EQ(log, std::vector<std::string>{"lower mouse"});
}

TEST_F(FrameTest, AModalViewSwallowsClicksWhileTheFocusViewStillLosesFocus)
{
    std::vector<std::string> log;
    ProbeView *modal = nullptr, *focus = nullptr;
    openEditor([&](Frame* f) {
        f->addView(new ProbeView({0, 0, 100, 100}, colours::red, &log, "view"));
        focus = new ProbeView({200, 0, 250, 50}, colours::red, &log, "focus");
        f->addView(focus);
    });
    modal = new ProbeView({300, 300, 350, 350}, colours::green, &log, "modal");
    EXPECT_TRUE(frame()->setModalView(modal));
    frame()->setFocusView(focus);
    click(50, 50);
    EXPECT_EQ(log, std::vector<std::string>{"focus dropFocus"});
    EXPECT_EQ(frame()->getFocusView(), nullptr);
    click(320, 320);
    EXPECT_EQ(log.back(), "modal mouse");

    auto* second = new ProbeView({0, 0, 5, 5}, colours::green);
    EXPECT_FALSE(frame()->setModalView(second));
    EXPECT_EQ(frame()->getModalView(), modal);
    EXPECT_TRUE(frame()->setModalView(nullptr));
    second->dropReference();
    modal->dropReference();
}

TEST_F(FrameTest, TheChildListGrowsByTenAndKeepsItsOrder)
{
    std::vector<View*> views;
    openEditor([&](Frame* f) {
        for (int i = 0; i < 11; ++i) {
            views.push_back(new ProbeView({i, 0, i + 1, 1}, colours::red));
            EXPECT_TRUE(f->addView(views.back()));
            EXPECT_EQ(f->getViewCapacity(), i < 10 ? 10 : 20);
        }
    });
    ASSERT_EQ(frame()->getViewCount(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(frame()->getView(i), views[size_t(i)]);
    EXPECT_EQ(frame()->getView(11), nullptr);
    EXPECT_EQ(frame()->getView(-1), nullptr);
    EXPECT_TRUE(frame()->removeView(views[3], true));
    EXPECT_EQ(frame()->getView(3), views[4]);
    EXPECT_TRUE(frame()->isChild(views[4]));
}

TEST_F(FrameTest, IdleDrawsNothingBeforeTheFirstPaintAndWhatChangedAfterIt)
{
    ProbeView* view = nullptr;
    openEditor([&](Frame* f) {
        view = new ProbeView({10, 10, 30, 30}, colours::red);
        f->addView(view);
    });
    view->setDirty(true);
    editor->idle();
    EXPECT_EQ(view->draws, 0) << "the window has not been painted yet";
    EXPECT_TRUE(frame()->isFirstDrawPending());
    host::pumpMessages(); // the window's first WM_PAINT
    EXPECT_FALSE(frame()->isFirstDrawPending());
    EXPECT_EQ(view->draws, 1);
    EXPECT_EQ(host::readPixels(parent).pixel(20, 20), 0xFF0000u);
    editor->idle();
    EXPECT_EQ(view->draws, 1) << "nothing changed";
    view->setDirty(true);
    editor->idle();
    EXPECT_EQ(view->draws, 2);
}

TEST_F(FrameTest, ThePaintDrawsTheBackgroundUnderTheViews)
{
    test::Picture picture(600, 354, 0x808000);
    test::registerBitmap(7200, test::dib24(picture));
    auto* background = new GuiBitmap(7200);
    openEditor([&](Frame* f) { f->addView(new ProbeView({10, 10, 30, 30}, colours::blue)); }, background);
    background->dropReference();
    host::pumpMessages();
    const host::Image pixels = host::readPixels(parent);
    EXPECT_EQ(pixels.pixel(5, 5), 0x808000u);
    EXPECT_EQ(pixels.pixel(599, 353), 0x808000u);
    EXPECT_EQ(pixels.pixel(30, 30), 0x0000FFu);
}

TEST_F(FrameTest, KeysGoToTheFocusViewFirstThenFromTheLastAdded)
{
    std::vector<std::string> log;
    ProbeView *first = nullptr, *last = nullptr;
    openEditor([&](Frame* f) {
        first = new ProbeView({0, 0, 5, 5}, colours::red, &log, "first");
        last = new ProbeView({0, 0, 5, 5}, colours::red, &log, "last");
        f->addView(first);
        f->addView(last);
    });
    KeyRecord key{0, 12, 0};
    EXPECT_EQ(plugin->dispatch(opEditorKeyDown, 0, 12, nullptr, 0.0f), -1);
    EXPECT_EQ(log, (std::vector<std::string>{"last key", "first key"}));
    first->keyAnswer = 1;
    frame()->setFocusView(first);
    log.clear();
    EXPECT_EQ(frame()->onKeyDown(&key), 1);
    EXPECT_EQ(log, std::vector<std::string>{"first key"});
    frame()->setFocusView(nullptr);
}

TEST_F(FrameTest, TheWheelReachesTheViewUnderTheCursor)
{
    std::vector<std::string> log;
    openEditor([&](Frame* f) {
        f->addView(new ProbeView({0, 0, 50, 50}, colours::red, &log, "a"));
        f->addView(new ProbeView({100, 0, 150, 50}, colours::red, &log, "b"));
    });
    host::setInput(screen(120, 30), 0);
    EXPECT_TRUE(editor->onWheel(1.0f));
    EXPECT_EQ(log, std::vector<std::string>{"b wheel"});
    host::setInput(screen(300, 300), 0);
    EXPECT_FALSE(editor->onWheel(1.0f));
}

TEST_F(FrameTest, CursorChangesArePutBackWhenTheFrameGoes)
{
    openEditor([](Frame*) {});
    const uint32_t before = host::currentCursor();
    frame()->setCursor(2);
    EXPECT_EQ(host::currentCursor(), platform::IDC_SIZEWE);
    frame()->setCursor(1);
    EXPECT_EQ(host::currentCursor(), platform::IDC_WAIT);
    frame()->setCursor(99);
    EXPECT_EQ(host::currentCursor(), platform::IDC_WAIT);
    plugin->dispatch(opEditorClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(host::currentCursor(), before);
}

TEST_F(FrameTest, TheWindowClassIsNamedAfterTheModuleAndGoesWithTheLastFrame)
{
    openEditor([](Frame*) {});
    char expected[32];
    Frame::windowClassName(expected);
    char name[64];
    platform::GetClassNameA(frame()->getSystemWindow(), name, sizeof name);
    EXPECT_STREQ(name, expected);
    EXPECT_EQ(std::string(name).rfind("Plugin", 0), 0u);
    EXPECT_EQ(std::strlen(name), 14u);
    platform::WindowClass found;
    EXPECT_TRUE(platform::GetClassInfoA(nullptr, expected, &found));
    plugin->dispatch(opEditorClose, 0, 0, nullptr, 0.0f);
    EXPECT_FALSE(platform::GetClassInfoA(nullptr, expected, &found));
}

TEST_F(FrameTest, AFrameWhoseWindowTheHostDestroyedStopsDrawing)
{
    ProbeView* view = nullptr;
    openEditor([&](Frame* f) {
        view = new ProbeView({10, 10, 30, 30}, colours::red);
        f->addView(view);
    });
    host::pumpMessages();
    platform::DestroyWindow(parent);
    parent = nullptr;
    EXPECT_FALSE(frame()->isOpen());
    view->setDirty(true);
    editor->idle();
    EXPECT_EQ(view->draws, 1);
}

} // namespace
} // namespace voltara::test
