#pragma once

#include "platform/Handles.h"

#include <X11/Xlib.h>
#include <cstdint>

// What one X event means for a presented window, in one small event type:
// every X event the presenter receives is mapped here and nowhere else.

namespace voltara::platform::x11 {

struct WindowEvent {
    enum Kind {
        nothing,        // of no concern (the wheel among them: hosts pass it to no editor of this kind)
        pointer,        // the cursor, buttons or modifiers changed
        key,            // an arrow or page key for the host
        expose,         // an area to repaint from the window system's pixels
        closeRequested, // the user closed a top-level window
        destroyed,      // the X window is gone (with its parent, say)
    };
    Kind kind = nothing;
    int x = 0; // pointer and key: window coordinates
    int y = 0;
    uint32_t held = 0; // pointer and key: host buttons and modifiers held from now on
    WinRect area{};    // expose: window coordinates
    uint8_t virtualKey = 0;
    bool keyDown = false;
};

// The event for the X window `window` (X reports the state before each event;
// the event says what is held after it); deleteWindow is WM_DELETE_WINDOW.
WindowEvent translate(XEvent& event, ::Window window, Atom deleteWindow);

// The host buttons and modifiers of an X state mask.
uint32_t heldFromState(unsigned int state);
// The host button of an X button number; 0 for the wheel and extra buttons.
uint32_t buttonBit(unsigned int button);

} // namespace voltara::platform::x11
