#pragma once

#include "gui/PaintContext.h"
#include "platform/Window.h"

namespace voltara {

class Frame;

// A paint context on the frame window's own device context for one call: the
// context goes before the device context is released.
class WindowContext {
public:
    WindowContext(Frame* frame, platform::Window window) : dc_(window), context_(frame, dc_.get(), window) {}
    PaintContext* get() { return &context_; }

private:
    // The window's device context, released when it goes.
    class WindowDc {
    public:
        explicit WindowDc(platform::Window window) : window_(window), dc_(platform::GetDC(window)) {}
        ~WindowDc() { platform::ReleaseDC(window_, dc_); }
        WindowDc(const WindowDc&) = delete;
        WindowDc& operator=(const WindowDc&) = delete;
        platform::DeviceContext get() const { return dc_; }

    private:
        platform::Window window_;
        platform::DeviceContext dc_;
    };

    WindowDc dc_;
    PaintContext context_;
};

} // namespace voltara
