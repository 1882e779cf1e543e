#include "tests/presenter/LiveTestKit.h"

#include "platform/Input.h"

#include <algorithm>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace voltara::test {

namespace host = platform::host;

namespace {

constexpr int afterInputMilliseconds = 300; // what xdotool caused still arriving

} // namespace

Capture toCapture(const host::Image& image)
{
    Capture out;
    out.width = image.width;
    out.height = image.height;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            out.pixels.push_back(image.pixel(x, y));
    return out;
}

void LiveTest::SetUp()
{
    display = std::make_unique<VirtualDisplay>();
    ASSERT_TRUE(display->running()) << display->failure();
    viewer = XOpenDisplay(display->name().c_str());
    ASSERT_NE(viewer, nullptr);
    host = std::make_unique<TestHost>();
    ASSERT_NE(host->open(), nullptr);
    host->recordCalls = true;
}

void LiveTest::TearDown()
{
    editor.reset();
    if (host) {
        host->dispatch(opEditorKnobStyle, 0, 0); // the knob mode is process-wide
        host->close();
    }
    host.reset();
    if (viewer)
        XCloseDisplay(viewer);
    display.reset();
}

void LiveTest::openEditor(unsigned long parent)
{
    std::string why;
    platform::x11::Presenter::Settings settings;
    settings.parent = parent;
    settings.title = "Voltara under test";
    settings.display = display->name();
    editor = livehost::LiveEditor::open(host->descriptor(), settings, why);
    ASSERT_TRUE(editor) << why;
    window = editor->presenter().xWindow();
    if (!parent) {
        // Away from the screen's edges, so that the pointer can leave the window on every side.
        XMoveWindow(viewer, window, 100, 100);
        XSync(viewer, False);
    }
    serveFor(200);
}

void LiveTest::serveFor(int milliseconds)
{
    const uint32_t until = platform::GetTickCount() + uint32_t(milliseconds);
    while (editor && int32_t(until - platform::GetTickCount()) > 0)
        if (!editor->service(5))
            break;
}

void LiveTest::xdotool(const std::vector<std::string>& arguments)
{
    BackgroundProgram input("xdotool", arguments, {"DISPLAY=" + display->name()});
    while (!input.finished()) {
        if (editor)
            editor->service(5);
        else
            platform::Sleep(5);
    }
    ASSERT_EQ(input.status(), 0) << "xdotool failed";
    serveFor(afterInputMilliseconds);
}

std::vector<std::string> LiveTest::moveTo(int x, int y) const
{
    return {"mousemove", "--window", std::to_string(window), std::to_string(x), std::to_string(y)};
}

Capture LiveTest::capture(unsigned long shown) const
{
    Capture out;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(viewer, shown, &attributes))
        return out;
    XImage* image =
        XGetImage(viewer, shown, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return out;
    out.width = attributes.width;
    out.height = attributes.height;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return out;
}

Capture LiveTest::windowSystemPixels() const
{
    return toCapture(host::readPixels(editor->presenter().window()));
}

std::vector<TestHost::Call> LiveTest::callsOf(int32_t opcode) const
{
    return host->callsOf(opcode);
}

} // namespace voltara::test
