#pragma once

#include "platform/Handles.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <memory>
#include <string>

// The pixels of a window-system window on their way to an X window: one
// image of the window's size, in the server's shared memory where it offers
// MIT-SHM (and the connection is local), uploaded with each request otherwise.

namespace voltara::platform::x11 {

class ImageOutput {
public:
    // Null, with why, when the visual is not 24-bit true colour in the
    // red-green-blue order the window system's pixels are copied in.
    static std::unique_ptr<ImageOutput> create(Display* display, ::Window window, Visual* visual, int depth, int width,
                                               int height, std::string& why);
    ~ImageOutput();
    ImageOutput(const ImageOutput&) = delete;
    ImageOutput& operator=(const ImageOutput&) = delete;

    // Copies an area (window coordinates) of the window system's window into
    // the image and sends it to the X window. A batch of sends begins with
    // finish(): areas of one batch may overlap, being copies of the same pixels.
    void send(platform::Window source, WinRect area);
    // Waits until the server has read what was sent, so that the next copy
    // may overwrite it (shared memory only).
    void finish();
    bool sharesMemory() const { return shared_; }

private:
    ImageOutput(Display* display, ::Window window, int width, int height);
    bool attachShared(Visual* visual, int depth);

    Display* display_;
    ::Window window_;
    GC gc_ = nullptr;
    int width_;
    int height_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    bool unfinished_ = false;
};

} // namespace voltara::platform::x11
