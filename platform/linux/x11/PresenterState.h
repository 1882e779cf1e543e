#pragma once

#include "platform/linux/Host.h"
#include "platform/linux/x11/EventTranslation.h"
#include "platform/linux/x11/ImageOutput.h"
#include "platform/linux/x11/Presenter.h"

#include <X11/Xlib.h>
#include <map>
#include <memory>
#include <vector>

// The X side of a presenter, shared by the units that serve it: its own
// events, the popup menus it opens and the registry of live presenters.

namespace voltara::platform::x11 {

struct Presenter::State {
    Display* display = nullptr;
    int screen = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    ::Window xWindow = 0;
    bool topLevel = false;
    Atom deleteWindow = 0;
    std::unique_ptr<ImageOutput> output;

    platform::Window window = nullptr; // the window system's
    WinPoint origin{};                 // where it lies on the window system's screen
    int width = 0;
    int height = 0;

    WinPoint pointer{};     // window coordinates, as last told to the window system
    uint32_t held = 0;      // as last told to the window system
    uint32_t swallowed = 0; // buttons whose press closed a popup: their release is no one's
    uint32_t cursorShown = 0;
    std::map<uint32_t, ::Cursor> cursors; // by system cursor number
    bool gone = false;
    std::vector<host::InputEvent> keys;

    // Every waiting event, then what was drawn; input only when takeInput
    // (a modal popup or dialog elsewhere leaves the window painting only).
    void serve(bool takeInput);
    void handle(XEvent& event, bool takeInput);
    void flush();
    void repaint(WinRect area);
    // The pointer at a window point with these held, told to the window system.
    void tellInput(int x, int y, uint32_t nowHeld);
    // Where the pointer really is and what is really held, told to the
    // window system (after a popup took the input for a while).
    void catchUpWithPointer();
    void showCursor();
    // A window point on the root window.
    WinPoint toRoot(int x, int y) const;
};

} // namespace voltara::platform::x11
