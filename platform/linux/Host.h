#pragma once

#include "common/MouseBits.h"
#include "platform/Handles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What a host (the command-line host, a test) uses to drive the window system
// that the plug-in draws into: the parent window, scripted input on a
// simulated clock, popup-menu choices, drops, and the pixels of any window.
// Linux only; the plug-in itself never calls this.

namespace voltara::platform::host {

// Buttons and modifiers of an input state (the toolkit's mouse flags).
enum : uint32_t {
    leftButton = MouseBits::left,
    middleButton = MouseBits::middle,
    rightButton = MouseBits::right,
    shiftKey = MouseBits::shift,
    controlKey = MouseBits::control,
    altKey = MouseBits::alt,
};

// A top-level window of the given client size at a screen position; its
// procedure paints nothing but its background.
VOLTARA_PLATFORM_API Window createParentWindow(int width, int height, int screenX = 100, int screenY = 60);
// Screen position of a point given in the window's own coordinates.
VOLTARA_PLATFORM_API WinPoint toScreen(Window window, int x, int y);

// From now on GetTickCount reads a simulated clock that starts at the given
// time and only moves when Sleep or the script moves it. Without this call
// the clock is the system's and Sleep really sleeps.
VOLTARA_PLATFORM_API void useSimulatedClock(uint32_t startMilliseconds);

struct InputEvent {
    enum Kind { state, key, wheel };
    uint32_t time = 0; // milliseconds after the moment the script is played
    Kind kind = state;
    // state: the cursor (screen coordinates) and what is held from then on
    int x = 0;
    int y = 0;
    uint32_t held = 0;
    // key: character, virtual key and modifier byte as the host receives them
    int32_t character = 0;
    uint8_t virtualKey = 0;
    uint8_t modifier = 0;
    bool keyDown = true;
    // wheel
    float distance = 0;
};

// "At t ms the cursor is at (x, y) with these buttons and modifiers held."
inline InputEvent at(uint32_t time, WinPoint screen, uint32_t held)
{
    InputEvent event;
    event.time = time;
    event.x = screen.x;
    event.y = screen.y;
    event.held = held;
    return event;
}

// Queues events after those not yet replayed. State events are applied when
// the clock reaches them: the cursor moves, and a button that goes down posts
// its button-down message to the window under the cursor. Key and wheel
// events are kept for the host to forward (takeForwardedEvents).
VOLTARA_PLATFORM_API void play(const std::vector<InputEvent>& script);
// Applies a state at once, as a state event at the current time.
VOLTARA_PLATFORM_API void setInput(WinPoint screen, uint32_t held);
// Dispatches every waiting message (WM_PAINT included) of this thread's
// windows; returns how many.
VOLTARA_PLATFORM_API int pumpMessages();
// Replays the whole script: pumps, moves the clock to the next event, applies
// it, pumps again, until nothing is left. A control that tracks the mouse
// consumes events itself through Sleep.
VOLTARA_PLATFORM_API void runScript();
VOLTARA_PLATFORM_API std::vector<InputEvent> takeForwardedEvents();

// A popup menu as it was built.
struct MenuItem {
    std::string text;
    uint32_t flags = 0;
    uintptr_t command = 0;
    std::vector<MenuItem> submenu;
};
// Answers the chosen item (one of those it was given, sub-menus included), or
// null to close the menu without choice.
using MenuChooser = std::function<const MenuItem*(const std::vector<MenuItem>& items, WinPoint screen, uint32_t flags)>;
// null: every menu closes without choice.
VOLTARA_PLATFORM_API void setMenuChooser(MenuChooser chooser);
// The chooser of the menus whose owner lies in this top-level window, before
// the one for every window; null removes it.
VOLTARA_PLATFORM_API void setMenuChooser(Window topLevel, MenuChooser chooser);

// Target of a dropped shortcut; false when it cannot be resolved.
using ShortcutResolver = std::function<bool(const std::string& shortcut, std::string& target)>;
VOLTARA_PLATFORM_API void setShortcutResolver(ShortcutResolver resolver);
// Drags a file list or a text over the window's point (its own coordinates)
// and drops it on the drop target of the window, as OLE does: DragEnter,
// DragOver, then Drop when accepted, else DragLeave. The effect answered.
VOLTARA_PLATFORM_API uint32_t dropFiles(Window window, WinPoint point, const std::vector<std::string>& names,
                                        uint32_t keyState = 0);
VOLTARA_PLATFORM_API uint32_t dropText(Window window, WinPoint point, const std::string& text, uint32_t keyState = 0);

// The window's pixels (child windows draw into their top-level window).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows from the top, three bytes per pixel
    uint32_t pixel(int x, int y) const
    {
        const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
};
VOLTARA_PLATFORM_API Image readPixels(Window window);

// Copies the pixels of an area (window coordinates, clipped to the window)
// as 0xRRGGBB words into rows of stride words, the area's top-left corner
// first; the area copied.
VOLTARA_PLATFORM_API WinRect copyPixels(Window window, WinRect area, uint32_t* destination, int stride);

// The rectangles drawn into the window or its children since the last call
// for any window of the same top-level window, in the window's coordinates
// and clipped to it, in the order drawn; what the editor redrew.
VOLTARA_PLATFORM_API std::vector<WinRect> takeDrawnAreas(Window window);

// A text drawn with DrawTextA: the rectangle it was laid out in, in the
// window's coordinates, and the text as drawn (prefix ampersands taken out).
struct DrawnText {
    WinRect rect;
    std::string text;
};
// The texts drawn into the window or its children since the last call for
// any window of the same top-level window, in the order drawn; what a user
// reads on the window.
VOLTARA_PLATFORM_API std::vector<DrawnText> takeDrawnTexts(Window window);

// How many bitmap resources were loaded (LoadBitmapA calls that found one).
VOLTARA_PLATFORM_API int bitmapLoads();

// True when a font for text was found (Liberation or DejaVu); without one,
// DrawTextA draws nothing.
VOLTARA_PLATFORM_API bool fontsAvailable();

// The system cursor number (IDC_...) now shown.
VOLTARA_PLATFORM_API uint32_t currentCursor();

// Something outside the window system that keeps its windows live on a real
// display (a presenter): while the plug-in sleeps (a control following the
// mouse in its own loop sleeps between passes), the window system lets it
// wait instead, up to the milliseconds given, so that the display's input
// arrives and what was drawn shows. It may return early; Sleep then calls it
// again until the time is up. Null: Sleep only sleeps. Not on the simulated
// clock, which the script moves.
using Waiter = std::function<void(uint32_t milliseconds)>;
VOLTARA_PLATFORM_API void setWaiter(Waiter waiter);

// Shows the plug-in's messages (MessageBox) as the desktop does; answers
// false when it could not, and the message then goes to standard error.
// Null: standard error only.
using MessageShower = std::function<bool(const std::string& text, const std::string& caption)>;
VOLTARA_PLATFORM_API void setMessageShower(MessageShower shower);

} // namespace voltara::platform::host
