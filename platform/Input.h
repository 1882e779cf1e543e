#pragma once

#include "platform/Handles.h"

// The input state and the clock, read when asked rather than from messages.

namespace voltara::platform {

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12; // Alt

// Screen coordinates.
VOLTARA_PLATFORM_API Bool GetCursorPos(WinPoint* point);
// The top bit (the result is negative) while the key or button is down.
VOLTARA_PLATFORM_API int16_t GetAsyncKeyState(int virtualKey);
// Milliseconds.
VOLTARA_PLATFORM_API uint32_t GetTickCount();
VOLTARA_PLATFORM_API void Sleep(uint32_t milliseconds);

} // namespace voltara::platform
