#pragma once

#include "platform/Handles.h"

// Window classes, windows, the message queue, painting and cursors: the
// USER32 calls the toolkit makes.

namespace voltara::platform {

constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_ERASEBKGND = 0x0014;
constexpr uint32_t WM_DRAWITEM = 0x002B;
constexpr uint32_t WM_MEASUREITEM = 0x002C;
constexpr uint32_t WM_NCDESTROY = 0x0082;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_CTLCOLOREDIT = 0x0133;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;

constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t WS_CHILD = 0x40000000u;
constexpr uint32_t WS_VISIBLE = 0x10000000u;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000u;
constexpr uint32_t CS_GLOBALCLASS = 0x4000;

constexpr uint32_t PM_NOREMOVE = 0;
constexpr uint32_t PM_REMOVE = 1;

constexpr int COLOR_BTNFACE = 15;

// System cursors, through intResource.
constexpr uint32_t IDC_ARROW = 32512;
constexpr uint32_t IDC_WAIT = 32514;
constexpr uint32_t IDC_SIZENWSE = 32642;
constexpr uint32_t IDC_SIZENESW = 32643;
constexpr uint32_t IDC_SIZEWE = 32644;
constexpr uint32_t IDC_SIZENS = 32645;
constexpr uint32_t IDC_SIZEALL = 32646;

constexpr uint32_t ODT_MENU = 1;

using WindowProcedure = LResult(VOLTARA_CALLBACK*)(Window, uint32_t message, WParam, LParam);

// WNDCLASSA
struct WindowClass {
    uint32_t style;
    WindowProcedure procedure;
    int32_t classExtra;
    int32_t windowExtra;
    Module instance;
    void* icon;
    Cursor cursor;
    GdiObject background;
    const char* menuName;
    const char* className;
};

// MSG
struct Message {
    Window window;
    uint32_t message;
    WParam wParam;
    LParam lParam;
    uint32_t time;
    WinPoint point;
};

// PAINTSTRUCT
struct PaintStruct {
    DeviceContext dc;
    Bool erase;
    WinRect paint;
    Bool restore;
    Bool incUpdate;
    uint8_t reserved[32];
};

// The class atom, 0 on failure (e.g. the name is taken).
VOLTARA_PLATFORM_API uint16_t RegisterClassA(const WindowClass* windowClass);
VOLTARA_PLATFORM_API Bool UnregisterClassA(const char* className, Module instance);
VOLTARA_PLATFORM_API Bool GetClassInfoA(Module instance, const char* className, WindowClass* out);

VOLTARA_PLATFORM_API Window CreateWindowExA(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                                            int x, int y, int width, int height, Window parent, Menu menu,
                                            Module instance, void* param);
VOLTARA_PLATFORM_API Bool DestroyWindow(Window window);
VOLTARA_PLATFORM_API Bool IsWindow(Window window);
VOLTARA_PLATFORM_API Window GetParent(Window window);
// Copies the class name (cut to size - 1); its length.
VOLTARA_PLATFORM_API int GetClassNameA(Window window, char* name, int size);
// The pointer kept in the window's user data (GWLP_USERDATA).
VOLTARA_PLATFORM_API void* SetWindowUserData(Window window, void* data);
VOLTARA_PLATFORM_API void* GetWindowUserData(Window window);
// Screen coordinates.
VOLTARA_PLATFORM_API Bool GetWindowRect(Window window, WinRect* rect);
VOLTARA_PLATFORM_API Bool GetClientRect(Window window, WinRect* rect);
VOLTARA_PLATFORM_API LResult DefWindowProcA(Window window, uint32_t message, WParam wParam, LParam lParam);

VOLTARA_PLATFORM_API Bool InvalidateRect(Window window, const WinRect* rect, Bool erase);
VOLTARA_PLATFORM_API Bool ValidateRect(Window window, const WinRect* rect);
VOLTARA_PLATFORM_API Bool GetUpdateRect(Window window, WinRect* rect, Bool erase);
VOLTARA_PLATFORM_API Bool UpdateWindow(Window window);
VOLTARA_PLATFORM_API DeviceContext BeginPaint(Window window, PaintStruct* paint);
VOLTARA_PLATFORM_API Bool EndPaint(Window window, const PaintStruct* paint);
VOLTARA_PLATFORM_API DeviceContext GetDC(Window window);
VOLTARA_PLATFORM_API int ReleaseDC(Window window, DeviceContext dc);
VOLTARA_PLATFORM_API GdiObject GetSysColorBrush(int index);

VOLTARA_PLATFORM_API Bool PeekMessageA(Message* message, Window window, uint32_t first, uint32_t last, uint32_t remove);
VOLTARA_PLATFORM_API LResult DispatchMessageA(const Message* message);
VOLTARA_PLATFORM_API Bool PostMessageA(Window window, uint32_t message, WParam wParam, LParam lParam);
VOLTARA_PLATFORM_API LResult SendMessageA(Window window, uint32_t message, WParam wParam, LParam lParam);

// name: a system cursor number through intResource, with no module.
VOLTARA_PLATFORM_API Cursor LoadCursorA(Module module, const char* name);
VOLTARA_PLATFORM_API Cursor SetCursor(Cursor cursor);
VOLTARA_PLATFORM_API Cursor GetCursor();

inline int loWord(LParam value)
{
    return static_cast<int>(static_cast<uint32_t>(value) & 0xFFFF);
}

inline int hiWord(LParam value)
{
    return static_cast<int>((static_cast<uint32_t>(value) >> 16) & 0xFFFF);
}

} // namespace voltara::platform
