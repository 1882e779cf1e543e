#include "platform/Input.h"
// after our headers: windows.h defines macros of the same names
#include "platform/windows/Cast.h"

namespace voltara::platform {

using windows::as;

uint16_t RegisterClassA(const WindowClass* windowClass)
{
    return ::RegisterClassA(reinterpret_cast<const WNDCLASSA*>(windowClass));
}

Bool UnregisterClassA(const char* className, Module instance)
{
    return ::UnregisterClassA(className, as<HINSTANCE>(instance));
}

Bool GetClassInfoA(Module instance, const char* className, WindowClass* out)
{
    return ::GetClassInfoA(as<HINSTANCE>(instance), className, reinterpret_cast<WNDCLASSA*>(out));
}

Window CreateWindowExA(uint32_t exStyle, const char* className, const char* title, uint32_t style, int x, int y,
                       int width, int height, Window parent, Menu menu, Module instance, void* param)
{
    return as<Window>(::CreateWindowExA(exStyle, className, title, style, x, y, width, height, as<HWND>(parent),
                                        as<HMENU>(menu), as<HINSTANCE>(instance), param));
}

Bool DestroyWindow(Window window)
{
    return ::DestroyWindow(as<HWND>(window));
}

Bool IsWindow(Window window)
{
    return ::IsWindow(as<HWND>(window));
}

Window GetParent(Window window)
{
    return as<Window>(::GetParent(as<HWND>(window)));
}

int GetClassNameA(Window window, char* name, int size)
{
    return ::GetClassNameA(as<HWND>(window), name, size);
}

void* SetWindowUserData(Window window, void* data)
{
    return reinterpret_cast<void*>(::SetWindowLongPtrA(as<HWND>(window), GWLP_USERDATA, as<LONG_PTR>(data)));
}

void* GetWindowUserData(Window window)
{
    return reinterpret_cast<void*>(::GetWindowLongPtrA(as<HWND>(window), GWLP_USERDATA));
}

Bool GetWindowRect(Window window, WinRect* rect)
{
    return ::GetWindowRect(as<HWND>(window), reinterpret_cast<RECT*>(rect));
}

Bool GetClientRect(Window window, WinRect* rect)
{
    return ::GetClientRect(as<HWND>(window), reinterpret_cast<RECT*>(rect));
}

LResult DefWindowProcA(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    return ::DefWindowProcA(as<HWND>(window), message, wParam, lParam);
}

Bool InvalidateRect(Window window, const WinRect* rect, Bool erase)
{
    return ::InvalidateRect(as<HWND>(window), reinterpret_cast<const RECT*>(rect), erase);
}

Bool ValidateRect(Window window, const WinRect* rect)
{
    return ::ValidateRect(as<HWND>(window), reinterpret_cast<const RECT*>(rect));
}

Bool GetUpdateRect(Window window, WinRect* rect, Bool erase)
{
    return ::GetUpdateRect(as<HWND>(window), reinterpret_cast<RECT*>(rect), erase);
}

Bool UpdateWindow(Window window)
{
    return ::UpdateWindow(as<HWND>(window));
}

DeviceContext BeginPaint(Window window, PaintStruct* paint)
{
    return as<DeviceContext>(::BeginPaint(as<HWND>(window), reinterpret_cast<PAINTSTRUCT*>(paint)));
}

Bool EndPaint(Window window, const PaintStruct* paint)
{
    return ::EndPaint(as<HWND>(window), reinterpret_cast<const PAINTSTRUCT*>(paint));
}

DeviceContext GetDC(Window window)
{
    return as<DeviceContext>(::GetDC(as<HWND>(window)));
}

int ReleaseDC(Window window, DeviceContext dc)
{
    return ::ReleaseDC(as<HWND>(window), as<HDC>(dc));
}

GdiObject GetSysColorBrush(int index)
{
    return as<GdiObject>(::GetSysColorBrush(index));
}

Bool PeekMessageA(Message* message, Window window, uint32_t first, uint32_t last, uint32_t remove)
{
    return ::PeekMessageA(reinterpret_cast<MSG*>(message), as<HWND>(window), first, last, remove);
}

LResult DispatchMessageA(const Message* message)
{
    return ::DispatchMessageA(reinterpret_cast<const MSG*>(message));
}

Bool PostMessageA(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    return ::PostMessageA(as<HWND>(window), message, wParam, lParam);
}

LResult SendMessageA(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    return ::SendMessageA(as<HWND>(window), message, wParam, lParam);
}

Cursor LoadCursorA(Module module, const char* name)
{
    return as<Cursor>(::LoadCursorA(as<HINSTANCE>(module), name));
}

Cursor SetCursor(Cursor cursor)
{
    return as<Cursor>(::SetCursor(as<HCURSOR>(cursor)));
}

Cursor GetCursor()
{
    return as<Cursor>(::GetCursor());
}

Bool GetCursorPos(WinPoint* point)
{
    return ::GetCursorPos(reinterpret_cast<POINT*>(point));
}

int16_t GetAsyncKeyState(int virtualKey)
{
    return ::GetAsyncKeyState(virtualKey);
}

uint32_t GetTickCount()
{
    return ::GetTickCount();
}

void Sleep(uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

} // namespace voltara::platform
