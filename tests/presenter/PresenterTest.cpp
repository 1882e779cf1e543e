#include "tests/presenter/LiveTestKit.h"

#include "editor/RackLayout.h"
#include "platform/linux/x11/Presenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

// What the X server shows of a presented window: exactly the window system's
// pixels, sent where drawing happened, repainted where the server exposes;
// embedded in a host's window or on its own.

namespace voltara::test {
namespace {

constexpr int32_t phaserRate = 26;
constexpr int32_t phaserRateKnob = 3;
constexpr int32_t bypassButton = 42;

// Paints a rectangle red over the X window from the test's own connection.
void scribble(Display* viewer, unsigned long window, const Rect& area)
{
    GC gc = XCreateGC(viewer, window, 0, nullptr);
    XSetForeground(viewer, gc, 0xFF0000);
    XFillRectangle(viewer, window, gc, area.left, area.top, unsigned(area.right - area.left),
                   unsigned(area.bottom - area.top));
    XFreeGC(viewer, gc);
    XSync(viewer, False);
}

bool allRed(const Capture& shown, const Rect& area)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (shown.pixel(x, y) != 0xFF0000)
                return false;
    return true;
}

bool sameIn(const Capture& a, const Capture& b, const Rect& area)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

TEST_F(LiveTest, TheXWindowShowsTheWindowSystemsPixelsExactly)
{
    openEditor();
    EXPECT_TRUE(editor->presenter().sharesMemory()) << "Xvfb offers MIT-SHM";
    const Capture shown = capture(window);
    ASSERT_EQ(shown.width, 600);
    ASSERT_EQ(shown.height, 354);
    EXPECT_TRUE(shown.pixels == windowSystemPixels().pixels);

    // A change of the host's shows at the next idle.
    host->setParameter(phaserRate, 0.9f);
    serveFor(100);
    EXPECT_TRUE(capture(window).pixels == windowSystemPixels().pixels);
    EXPECT_FALSE(capture(window).pixels == shown.pixels);
}

TEST_F(LiveTest, OnlyWhatWasDrawnIsSentAndWhatTheServerExposesIsRepainted)
{
    openEditor();
    const Rect knob = rackControls[phaserRateKnob - 1].rect;
    const Rect elsewhere = rackControls[bypassButton - 1].rect;
    scribble(viewer, window, knob);
    scribble(viewer, window, elsewhere);
    host->setParameter(phaserRate, 0.9f);
    serveFor(100);
    const Capture after = capture(window);
    EXPECT_TRUE(sameIn(after, windowSystemPixels(), knob)) << "the knob was drawn and sent";
    EXPECT_TRUE(allRed(after, elsewhere)) << "nothing else was sent";

    XClearArea(viewer, window, 0, 0, 0, 0, True); // the server asks for all of it again
    XSync(viewer, False);
    serveFor(100);
    EXPECT_TRUE(capture(window).pixels == windowSystemPixels().pixels);
}

TEST_F(LiveTest, AnEmbeddedWindowLivesInItsHostsWindowAndGoesWithIt)
{
    const Window hostWindow = XCreateSimpleWindow(viewer, DefaultRootWindow(viewer), 0, 0, 700, 400, 0, 0, 0);
    XMapWindow(viewer, hostWindow);
    XSync(viewer, False);
    openEditor(hostWindow);
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    ASSERT_TRUE(XQueryTree(viewer, hostWindow, &root, &parent, &children, &count));
    const std::vector<Window> inside(children, children + count);
    XFree(children);
    EXPECT_EQ(inside, std::vector<Window>{window});
    EXPECT_TRUE(capture(window).pixels == windowSystemPixels().pixels);

    XDestroyWindow(viewer, hostWindow);
    XSync(viewer, False);
    bool going = true;
    for (int pass = 0; pass < 100 && going; ++pass)
        going = editor->service(10);
    EXPECT_FALSE(going) << "the window went with its host's";
    editor.reset(); // and the presenter goes without a fuss
}

TEST_F(LiveTest, TheCloseButtonOfATopLevelWindowEndsIt)
{
    openEditor();
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(viewer, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(viewer, "WM_DELETE_WINDOW", False));
    XSendEvent(viewer, window, False, NoEventMask, &close);
    XSync(viewer, False);
    bool going = true;
    for (int pass = 0; pass < 100 && going; ++pass)
        going = editor->service(10);
    EXPECT_FALSE(going);
}

TEST(PresenterOpenTest, WithoutADisplayThereIsNoPresenterAndTheReasonSaysWhy)
{
    std::string why;
    platform::x11::Presenter::Settings settings;
    settings.width = 600;
    settings.height = 354;
    settings.display = "unix:31999";
    EXPECT_EQ(platform::x11::Presenter::open(settings, why), nullptr);
    EXPECT_EQ(why, "cannot open the X display unix:31999");
}

} // namespace
} // namespace voltara::test
