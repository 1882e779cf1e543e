#include "platform/Window.h"
#include "platform/linux/WindowSystem.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <utility>

// The tree of windows: top-level windows own a pixel surface their children
// draw into; places are in the parent's coordinates.

namespace voltara::platform {

namespace {

std::vector<WindowObject*>& windows()
{
    static auto* live = new std::vector<WindowObject*>; // lives as long as the process
    return *live;
}

} // namespace

std::mutex& systemLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}

const std::vector<WindowObject*>& liveWindows()
{
    return windows();
}

bool isLiveWindow(WindowObject* window)
{
    const auto& live = windows();
    return window && std::find(live.begin(), live.end(), window) != live.end();
}

WindowObject* topLevel(WindowObject* window)
{
    while (window->parent)
        window = window->parent;
    return window;
}

bool isDescendant(WindowObject* window, WindowObject* ancestor)
{
    for (; window; window = window->parent)
        if (window == ancestor)
            return true;
    return false;
}

WinPoint screenOrigin(WindowObject* window)
{
    WinPoint origin{0, 0};
    for (; window; window = window->parent) {
        origin.x += window->rect.left;
        origin.y += window->rect.top;
    }
    return origin;
}

// The window's client area on its top-level surface, clipped by its ancestors.
WinRect visibleOnSurface(WindowObject* window, WinPoint& origin)
{
    const WinPoint screen = screenOrigin(window);
    const WinPoint top = screenOrigin(topLevel(window));
    origin = {screen.x - top.x, screen.y - top.y};
    WinRect clip{origin.x, origin.y, origin.x + window->rect.right - window->rect.left,
                 origin.y + window->rect.bottom - window->rect.top};
    for (WindowObject* up = window->parent; up; up = up->parent) {
        const WinPoint o = {screenOrigin(up).x - top.x, screenOrigin(up).y - top.y};
        clip.left = std::max(clip.left, o.x);
        clip.top = std::max(clip.top, o.y);
        clip.right = std::min(clip.right, o.x + up->rect.right - up->rect.left);
        clip.bottom = std::min(clip.bottom, o.y + up->rect.bottom - up->rect.top);
    }
    return clip;
}

WindowObject* windowAt(WinPoint screen)
{
    std::function<WindowObject*(WindowObject*)> deepest = [&](WindowObject* window) -> WindowObject* {
        if (!(window->style & WS_VISIBLE))
            return nullptr;
        const WinPoint origin = screenOrigin(window);
        if (screen.x < origin.x || screen.y < origin.y || screen.x >= origin.x + window->rect.right - window->rect.left
            || screen.y >= origin.y + window->rect.bottom - window->rect.top)
            return nullptr;
        // Later children lie on top.
        for (auto child = window->children.rbegin(); child != window->children.rend(); ++child)
            if (WindowObject* found = deepest(*child))
                return found;
        return window;
    };
    const auto& live = windows();
    for (auto window = live.rbegin(); window != live.rend(); ++window)
        if (!(*window)->parent)
            if (WindowObject* found = deepest(*window))
                return found;
    return nullptr;
}

Window CreateWindowExA(uint32_t, const char* className, const char*, uint32_t style, int x, int y, int width,
                       int height, Window parent, Menu, Module, void*)
{
    std::lock_guard<std::mutex> lock(systemLock());
    auto entry = findClass(className);
    if (!entry || ((style & WS_CHILD) && !isLiveWindow(parent)) || (parent && !isLiveWindow(parent)))
        return nullptr;
    width = std::max(width, 0);
    height = std::max(height, 0);
    auto* window = new WindowObject;
    window->windowClass = entry;
    window->style = style;
    window->thread = std::this_thread::get_id();
    window->rect = {x, y, x + width, y + height};
    if (parent && (style & WS_CHILD)) {
        window->parent = parent;
        parent->children.push_back(window);
    } else {
        window->surface = std::make_shared<Surface>();
        window->surface->width = width;
        window->surface->height = height;
        window->surface->pixels.assign(size_t(width) * height, 0);
    }
    if (style & WS_VISIBLE) {
        window->hasUpdate = width > 0 && height > 0;
        window->update = {0, 0, width, height};
        window->erase = true;
    }
    windows().push_back(window);
    return window;
}

Bool DestroyWindow(Window window)
{
    std::vector<WindowObject*> children;
    {
        std::lock_guard<std::mutex> lock(systemLock());
        if (!isLiveWindow(window) || window->destroying)
            return 0;
        window->destroying = true;
        children = window->children;
    }
    SendMessageA(window, WM_DESTROY, 0, 0);
    for (WindowObject* child : children)
        DestroyWindow(child);
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    std::lock_guard<std::mutex> lock(systemLock());
    if (window->parent) {
        auto& siblings = window->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    windows().erase(std::remove(windows().begin(), windows().end(), window), windows().end());
    dropMessagesFor(window);
    if (window->dropTarget)
        window->dropTarget->Release();
    delete window;
    return 1;
}

Bool IsWindow(Window window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    return isLiveWindow(window);
}

Window GetParent(Window window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    return isLiveWindow(window) ? window->parent : nullptr;
}

int GetClassNameA(Window window, char* name, int size)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window) || !name || size <= 0)
        return 0;
    const std::string& className = window->windowClass->name;
    const int length = std::min(int(className.size()), size - 1);
    className.copy(name, size_t(length));
    name[length] = '\0';
    return length;
}

void* SetWindowUserData(Window window, void* data)
{
    std::lock_guard<std::mutex> lock(systemLock());
    return isLiveWindow(window) ? std::exchange(window->userData, data) : nullptr;
}

void* GetWindowUserData(Window window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    return isLiveWindow(window) ? window->userData : nullptr;
}

Bool GetWindowRect(Window window, WinRect* rect)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window) || !rect)
        return 0;
    const WinPoint origin = screenOrigin(window);
    *rect = {origin.x, origin.y, origin.x + window->rect.right - window->rect.left,
             origin.y + window->rect.bottom - window->rect.top};
    return 1;
}

Bool GetClientRect(Window window, WinRect* rect)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window) || !rect)
        return 0;
    *rect = {0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return 1;
}

} // namespace voltara::platform
