#pragma once

#include "platform/linux/Host.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"
#include "tests/support/VirtualDisplay.h"
#include "tools/livehost/LiveEditor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Xlib's connection; its header's macros (None, Bool, ...) stay out of the tests' other headers.
struct _XDisplay;

namespace voltara::test {

// The pixels of an X window as 0xRRGGBB words, rows from the top.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t pixel(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A real plug-in instance with its editor live on an X server of the test's
// own, served as a host serves it on the real clock; real input comes from
// xdotool, and a second connection of the test's own looks at the screen.
struct LiveTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;

    // Opens the editor in a top-level window, or inside an X window.
    void openEditor(unsigned long parent = 0);
    // Serves the display (and the editor's idle) for this long.
    void serveFor(int milliseconds);
    // Runs xdotool with these arguments on the display, serving the editor
    // until it has ended and a little longer for what it caused.
    void xdotool(const std::vector<std::string>& arguments);
    // xdotool arguments: the pointer to a point of the editor's window.
    std::vector<std::string> moveTo(int x, int y) const;

    // What the X server shows in a window, and the editor's pixels in the
    // window system as the same words.
    Capture capture(unsigned long window) const;
    Capture windowSystemPixels() const;

    // The host calls with this opcode so far.
    std::vector<TestHost::Call> callsOf(int32_t opcode) const;
    float parameter(int32_t index) { return host->getParameter(index); }

    TempFolder store;
    ScopedEnvironment registry{"VOLTARA_REGISTRY", store.path().c_str()};
    std::unique_ptr<VirtualDisplay> display;
    _XDisplay* viewer = nullptr; // the test's own connection
    std::unique_ptr<TestHost> host;
    std::unique_ptr<livehost::LiveEditor> editor;
    unsigned long window = 0; // the editor's X window
};

// The window system's pixels of an image as 0xRRGGBB words.
Capture toCapture(const platform::host::Image& image);

} // namespace voltara::test
