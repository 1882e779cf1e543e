#pragma once

#include "tests/windows/PluginInstance.h"

#include <functional>

#include <windows.h>

namespace voltara::winhost {

// The host interface's editor rectangle.
struct EditorRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

// The host's own top-level window that an editor opens into, its client
// area the editor's size.
class HostWindow {
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND get() const { return window_; }

private:
    HWND window_;
};

// What a host does while its window is up: messages dispatched, the editor's
// idle called every 20 ms; for ms, or until done says so.
void runHost(
    PluginInstance& instance, DWORD ms, const std::function<bool()>& done = [] { return false; });

} // namespace voltara::winhost
