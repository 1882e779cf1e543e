#include "platform/linux/x11/XErrors.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace voltara::platform::x11 {
namespace {

struct Watched {
    Display* display;
    int firstError;
};

struct Errors {
    std::mutex lock;
    std::vector<Watched> displays;
    XErrorHandler before = nullptr;
};

Errors& errors()
{
    static auto* state = new Errors; // lives as long as the process: Xlib may call the handler at exit
    return *state;
}

int noteError(Display* display, XErrorEvent* event)
{
    Errors& e = errors();
    XErrorHandler before;
    {
        std::lock_guard<std::mutex> guard(e.lock);
        for (Watched& watched : e.displays)
            if (watched.display == display) {
                if (watched.firstError == 0)
                    watched.firstError = event->error_code;
                return 0;
            }
        before = e.before;
    }
    return before ? before(display, event) : 0;
}

} // namespace

void watchErrors(Display* display)
{
    Errors& e = errors();
    std::lock_guard<std::mutex> guard(e.lock);
    if (e.displays.empty()) {
        const XErrorHandler current = XSetErrorHandler(&noteError);
        if (current != &noteError)
            e.before = current;
    }
    e.displays.push_back({display, 0});
}

void forgetErrors(Display* display)
{
    Errors& e = errors();
    std::lock_guard<std::mutex> guard(e.lock);
    e.displays.erase(std::remove_if(e.displays.begin(), e.displays.end(),
                                    [display](const Watched& w) { return w.display == display; }),
                     e.displays.end());
    if (e.displays.empty()) {
        // Handing back only what is still ours: a handler set after ours stays.
        const XErrorHandler current = XSetErrorHandler(e.before);
        if (current != &noteError)
            XSetErrorHandler(current);
    }
}

ErrorTrap::ErrorTrap(Display* display) : display_(display)
{
    XSync(display_, False);
    Errors& e = errors();
    std::lock_guard<std::mutex> guard(e.lock);
    for (Watched& watched : e.displays)
        if (watched.display == display_)
            watched.firstError = 0;
}

int ErrorTrap::code()
{
    XSync(display_, False);
    Errors& e = errors();
    std::lock_guard<std::mutex> guard(e.lock);
    for (Watched& watched : e.displays)
        if (watched.display == display_)
            return watched.firstError;
    return 0;
}

} // namespace voltara::platform::x11
