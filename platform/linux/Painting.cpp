#include "platform/Gdi.h"
#include "platform/Window.h"
#include "platform/linux/WindowSystem.h"

#include <algorithm>

// Update regions, kept as bounding rectangles, and painting through
// contexts on the top-level window's surface.

namespace voltara::platform {

namespace {

GdiObject systemBrush(int index)
{
    static BrushObject* face = [] {
        auto* brush = new BrushObject;
        brush->stock = true;
        brush->colour = rgb(240, 240, 240);
        return brush;
    }();
    return index == COLOR_BTNFACE ? face : nullptr;
}

} // namespace

DeviceContextObject* windowContext(WindowObject* window, const WinRect* limit)
{
    auto* dc = newContext(false);
    dc->window = window;
    dc->surface = topLevel(window)->surface;
    dc->clip = visibleOnSurface(window, dc->origin);
    if (limit) {
        dc->clip.left = std::max(dc->clip.left, limit->left + dc->origin.x);
        dc->clip.top = std::max(dc->clip.top, limit->top + dc->origin.y);
        dc->clip.right = std::min(dc->clip.right, limit->right + dc->origin.x);
        dc->clip.bottom = std::min(dc->clip.bottom, limit->bottom + dc->origin.y);
    }
    return dc;
}

LResult DefWindowProcA(Window window, uint32_t message, WParam wParam, LParam)
{
    switch (message) {
    case WM_PAINT: {
        PaintStruct paint;
        if (BeginPaint(window, &paint))
            EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        GdiObject brush;
        {
            std::lock_guard<std::mutex> lock(systemLock());
            if (!isLiveWindow(window))
                return 0;
            brush = window->windowClass->definition.background;
        }
        WinRect client;
        if (!brush || !GetClientRect(window, &client))
            return 0;
        FillRect(reinterpret_cast<DeviceContext>(wParam), &client, brush);
        return 1;
    }
    default: return 0;
    }
}

Bool InvalidateRect(Window window, const WinRect* rect, Bool erase)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window))
        return 0;
    WinRect area{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    if (rect) {
        area.left = std::max(area.left, rect->left);
        area.top = std::max(area.top, rect->top);
        area.right = std::min(area.right, rect->right);
        area.bottom = std::min(area.bottom, rect->bottom);
    }
    if (area.left >= area.right || area.top >= area.bottom)
        return 1;
    if (window->hasUpdate) {
        WinRect& u = window->update;
        u = {std::min(u.left, area.left), std::min(u.top, area.top), std::max(u.right, area.right),
             std::max(u.bottom, area.bottom)};
    } else {
        window->update = area;
        window->hasUpdate = true;
    }
    window->erase = window->erase || erase;
    return 1;
}

Bool ValidateRect(Window window, const WinRect* rect)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window))
        return 0;
    const WinRect& u = window->update;
    if (!rect || (rect->left <= u.left && rect->top <= u.top && rect->right >= u.right && rect->bottom >= u.bottom)) {
        window->hasUpdate = false;
        window->erase = false;
    }
    return 1;
}

Bool GetUpdateRect(Window window, WinRect* rect, Bool)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window))
        return 0;
    if (rect)
        *rect = window->hasUpdate ? window->update : WinRect{0, 0, 0, 0};
    return window->hasUpdate ? 1 : 0;
}

Bool UpdateWindow(Window window)
{
    WinRect area;
    if (GetUpdateRect(window, &area, 0))
        SendMessageA(window, WM_PAINT, 0, 0);
    return IsWindow(window);
}

DeviceContext BeginPaint(Window window, PaintStruct* paint)
{
    if (!paint)
        return nullptr;
    *paint = PaintStruct{};
    bool erase;
    {
        std::lock_guard<std::mutex> lock(systemLock());
        if (!isLiveWindow(window))
            return nullptr;
        paint->paint = window->hasUpdate ? window->update : WinRect{0, 0, 0, 0};
        erase = window->erase;
        window->hasUpdate = false;
        window->erase = false;
        paint->dc = windowContext(window, &paint->paint);
    }
    if (erase)
        paint->erase = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WParam>(paint->dc), 0) == 0;
    return paint->dc;
}

Bool EndPaint(Window window, const PaintStruct* paint)
{
    if (paint && paint->dc)
        ReleaseDC(window, paint->dc);
    return 1;
}

DeviceContext GetDC(Window window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    return isLiveWindow(window) ? windowContext(window, nullptr) : nullptr;
}

int ReleaseDC(Window, DeviceContext dc)
{
    if (!dc || dc->memory)
        return 0;
    deleteContext(dc);
    return 1;
}

GdiObject GetSysColorBrush(int index)
{
    return systemBrush(index);
}

} // namespace voltara::platform
