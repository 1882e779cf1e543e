#pragma once

#include "platform/linux/Host.h"
#include "platform/linux/Objects.h"

#include <memory>
#include <vector>

// A window system in memory: classes, a tree of windows whose top-level
// windows own a pixel surface, one posted-message queue, update regions kept
// as bounding rectangles, and input that a host scripts on a clock it can
// simulate. This is what its units share beyond Objects.h; every call here
// runs under the system lock.

namespace voltara::platform {

// Class registry (ClassRegistry.cpp): a class by name, any case; null when none.
std::shared_ptr<ClassEntry> findClass(const char* name);

// Window tree and geometry (WindowTree.cpp).
const std::vector<WindowObject*>& liveWindows(); // in creation order
WindowObject* topLevel(WindowObject* window);
bool isDescendant(WindowObject* window, WindowObject* ancestor);
// The window's client area on its top-level surface, clipped by its ancestors.
WinRect visibleOnSurface(WindowObject* window, WinPoint& origin);

// Update regions and painting (Painting.cpp): a context on the window's
// surface, clipped to limit (window coordinates) when given.
DeviceContextObject* windowContext(WindowObject* window, const WinRect* limit);

// Message queue (MessageQueue.cpp): forgets what was posted to a window.
void dropMessagesFor(WindowObject* window);

// Input state and clock (InputState.cpp).
uint32_t currentTime(); // ms, simulated or real
WinPoint cursorPosition();
// A scripted event now: buttons pressed or released post their messages.
void applyEvent(const host::InputEvent& event);
void startSimulatedClock(uint32_t startMilliseconds);
// Adds events at times from now, in time order.
void schedule(const std::vector<host::InputEvent>& script);
// Moves the clock to the next scripted event and applies what is due; false
// when the script is played out.
bool advanceToNextEvent();
std::vector<host::InputEvent> takeForwarded();

} // namespace voltara::platform
