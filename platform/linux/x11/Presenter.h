#pragma once

#include "platform/Handles.h"
#include "platform/linux/Host.h"

#include <memory>
#include <string>
#include <vector>

// libvoltara_presenter.so: shows windows of the window system (platform/linux)
// on a real X11 display and feeds them the display's input. The window system
// stays what it is, pixels in memory that tests read; a presenter is one more
// host of it. Nothing in the plug-in knows it exists; a host that wants its
// plug-in's editor on the screen makes one:
//
//     std::string why;
//     auto presenter = x11::Presenter::open({600, 354, 0, "AW Voltara FX"}, why);
//     if (!presenter) { report why; stay headless }
//     plugin.dispatch(opEditorOpen, 0, 0, presenter->window());
//     while (presenter->service(20)) {            // X input in, drawing out
//         host::pumpMessages();                    // clicks reach the editor
//         for (auto& key : presenter->takeKeys())  // keys go through the host
//             plugin.dispatch(key.keyDown ? opEditorKeyDown : opEditorKeyUp, ...);
//         plugin.dispatch(opEditorIdle);           // 30 times a second or more
//     }
//     plugin.dispatch(opEditorClose);              // before the presenter goes
//
// While any presenter lives, the window system's Sleep serves every live
// presenter (so a control that follows the mouse in its own loop sees the
// real mouse and its drawing shows at once), popup menus of a presented window
// open as real popups, drawn by the presenter and modal, and the plug-in's
// message boxes are the desktop's (DesktopDialogs.h). Everything runs on the
// thread that opened the presenters, the window system's thread.

namespace voltara::platform::x11 {

class VOLTARA_PLATFORM_API Presenter {
public:
    struct Settings {
        int width = 0;  // pixels
        int height = 0; // pixels
        // An X window of the host's to live in (an LV2 host's ui:parent);
        // 0: a top-level window of its own, which the user may close.
        unsigned long parent = 0;
        std::string title;   // of a top-level window
        std::string display; // empty: $DISPLAY
    };

    // Opens the display, makes a window of the window system of the given
    // size (window()) and an X window that shows it, mapped. Null, with the
    // reason in one line in why, when the display cannot be opened or offers
    // no 24-bit true-colour visual.
    static std::unique_ptr<Presenter> open(const Settings& settings, std::string& why);
    // Destroys both windows and closes the display. Whatever was opened into
    // window() is closed first, by whoever opened it.
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // The window system's window to open an editor into: what is drawn into
    // it (and its children) is what the X window shows.
    Window window() const;
    // The X window, for a host that embeds it or a test that captures it.
    unsigned long xWindow() const;
    // The display's connection, for a host that polls it in its own loop.
    int connection() const;
    // The display's name, as DISPLAY gives it to programs started for it.
    std::string displayName() const;

    // Serves the display: when no event waits, waits up to waitMilliseconds
    // for one; then turns every waiting X event into input of the window
    // system (the cursor, the buttons and modifiers held; a button that goes
    // down posts its message, which the host's message pump delivers),
    // repaints what was exposed, sends what was drawn and shows the window
    // system's cursor. False once the window is gone: closed by the user (a
    // top-level window's close button) or destroyed with its parent.
    bool service(int waitMilliseconds = 0);
    // Sends what the window system drew since the last call (service does).
    void flush();
    // Takes the window off the display now and lets go of what the mouse
    // holds, so that a control following the mouse returns; service answers
    // false from then on. For a host that closes its plug-in's editor from
    // inside a call the editor made while input runs.
    void close();
    bool gone() const;
    // Renames a top-level window (a host's status in its title); an embedded
    // window has no title and stays as it is.
    void setTitle(const std::string& title);
    // Whether images go through the server's shared memory (MIT-SHM).
    bool sharesMemory() const;

    // Keys pressed and released in the window since the last call, as a host
    // passes them to the editor (opEditorKeyDown / opEditorKeyUp): the arrow
    // and page keys with the virtual-key numbers hosts use (left 11, up 12,
    // right 13, down 14, page up 15, page down 16) and modifier 1 while Shift
    // is held.
    std::vector<host::InputEvent> takeKeys();

    struct State; // the X side; PresenterState.h

private:
    explicit Presenter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace voltara::platform::x11
