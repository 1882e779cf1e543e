#include "platform/Window.h"
#include "platform/Input.h"
#include "platform/linux/Host.h"
#include "platform/linux/Objects.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <strings.h>
#include <thread>
#include <utility>

// A window system in memory: classes, a tree of windows whose top-level
// windows own a pixel surface, one posted-message queue, update regions kept
// as bounding rectangles, and input that a host scripts on a clock it can
// simulate.

namespace voltara::platform {

struct CursorObject {
    uint32_t id;
};

namespace {

struct System {
    std::vector<std::shared_ptr<ClassEntry>> classes;
    uint16_t nextAtom = 0xC000;
    std::vector<WindowObject*> windows; // live, in creation order
    std::deque<Message> queue;
    WinPoint cursor{};
    uint32_t held = 0;
    bool simulated = false;
    uint32_t now = 0;
    std::deque<host::InputEvent> script; // absolute times, in order
    std::vector<host::InputEvent> forwarded;
    Cursor shownCursor = nullptr;
};

System& system()
{
    static auto* state = new System; // lives as long as the process
    return *state;
}

uint32_t realTicks()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::shared_ptr<ClassEntry> findClass(const char* name)
{
    if (!name)
        return nullptr;
    for (auto& entry : system().classes)
        if (strcasecmp(entry->name.c_str(), name) == 0)
            return entry;
    return nullptr;
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

WindowProcedure procedureOf(WindowObject* window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    return isLiveWindow(window) ? window->windowClass->definition.procedure : nullptr;
}

void applyEvent(const host::InputEvent& event)
{
    System& s = system();
    if (event.kind != host::InputEvent::state) {
        s.forwarded.push_back(event);
        return;
    }
    const uint32_t before = s.held;
    s.cursor = {event.x, event.y};
    s.held = event.held;
    struct Button {
        uint32_t bit;
        uint32_t down;
        uint32_t up;
    };
    static const Button buttons[] = {{host::leftButton, WM_LBUTTONDOWN, WM_LBUTTONUP},
                                     {host::rightButton, WM_RBUTTONDOWN, WM_RBUTTONUP},
                                     {host::middleButton, WM_MBUTTONDOWN, WM_MBUTTONUP}};
    for (const Button& button : buttons) {
        if ((before ^ s.held) & button.bit) {
            WindowObject* target = windowAt(s.cursor);
            if (!target)
                continue;
            const WinPoint origin = screenOrigin(target);
            const int x = s.cursor.x - origin.x, y = s.cursor.y - origin.y;
            WParam keys = 0;
            keys |= (s.held & host::leftButton) ? 0x0001 : 0;
            keys |= (s.held & host::rightButton) ? 0x0002 : 0;
            keys |= (s.held & host::shiftKey) ? 0x0004 : 0;
            keys |= (s.held & host::controlKey) ? 0x0008 : 0;
            keys |= (s.held & host::middleButton) ? 0x0010 : 0;
            postMessage(target, (s.held & button.bit) ? button.down : button.up, keys,
                        LParam((uint32_t(y) & 0xFFFF) << 16 | (uint32_t(x) & 0xFFFF)));
        }
    }
}

// Moves the clock to the time given, applying every event due by then.
void advanceTo(uint32_t time)
{
    System& s = system();
    while (!s.script.empty() && int32_t(s.script.front().time - time) <= 0) {
        const host::InputEvent event = s.script.front();
        s.script.pop_front();
        if (int32_t(event.time - s.now) > 0)
            s.now = event.time;
        applyEvent(event);
    }
    if (int32_t(time - s.now) > 0)
        s.now = time;
}

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

LResult VOLTARA_CALLBACK hostWindowProcedure(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

std::mutex& systemLock()
{
    static auto* lock = new std::mutex;
    return *lock;
}

bool isLiveWindow(WindowObject* window)
{
    const auto& windows = system().windows;
    return window && std::find(windows.begin(), windows.end(), window) != windows.end();
}

void postMessage(WindowObject* window, uint32_t message, WParam wParam, LParam lParam)
{
    System& s = system();
    s.queue.push_back(Message{window, message, wParam, lParam, s.simulated ? s.now : realTicks(), s.cursor});
}

void moveCursor(WinPoint screen)
{
    system().cursor = screen;
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
    const auto& windows = system().windows;
    for (auto window = windows.rbegin(); window != windows.rend(); ++window)
        if (!(*window)->parent)
            if (WindowObject* found = deepest(*window))
                return found;
    return nullptr;
}

uint16_t RegisterClassA(const WindowClass* windowClass)
{
    if (!windowClass || !windowClass->className || !windowClass->procedure)
        return 0;
    std::lock_guard<std::mutex> lock(systemLock());
    if (findClass(windowClass->className))
        return 0;
    auto entry = std::make_shared<ClassEntry>();
    entry->name = windowClass->className;
    entry->definition = *windowClass;
    entry->definition.className = nullptr;
    entry->definition.menuName = nullptr;
    system().classes.push_back(entry);
    return system().nextAtom++;
}

Bool UnregisterClassA(const char* className, Module)
{
    std::lock_guard<std::mutex> lock(systemLock());
    auto entry = findClass(className);
    if (!entry)
        return 0;
    for (WindowObject* window : system().windows)
        if (window->windowClass == entry)
            return 0; // windows of the class still exist
    auto& classes = system().classes;
    classes.erase(std::find(classes.begin(), classes.end(), entry));
    return 1;
}

Bool GetClassInfoA(Module, const char* className, WindowClass* out)
{
    std::lock_guard<std::mutex> lock(systemLock());
    auto entry = findClass(className);
    if (!entry)
        return 0;
    if (out) {
        *out = entry->definition;
        out->className = className;
    }
    return 1;
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
    system().windows.push_back(window);
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
    System& s = system();
    if (window->parent) {
        auto& siblings = window->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    s.windows.erase(std::remove(s.windows.begin(), s.windows.end(), window), s.windows.end());
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(), [&](const Message& m) { return m.window == window; }),
                  s.queue.end());
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

Bool PeekMessageA(Message* message, Window window, uint32_t first, uint32_t last, uint32_t remove)
{
    if (!message)
        return 0;
    std::lock_guard<std::mutex> lock(systemLock());
    System& s = system();
    const auto thread = std::this_thread::get_id();
    auto wanted = [&](WindowObject* target, uint32_t kind) {
        return (first == 0 && last == 0 ? true : kind >= first && kind <= last) && target && target->thread == thread
               && (!window || isDescendant(target, window));
    };
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it)
        if (wanted(it->window, it->message)) {
            *message = *it;
            if (remove & PM_REMOVE)
                s.queue.erase(it);
            return 1;
        }
    // Paint messages are made when asked for, parents before their children.
    std::function<WindowObject*(WindowObject*)> needsPaint = [&](WindowObject* w) -> WindowObject* {
        if (w->hasUpdate && wanted(w, WM_PAINT))
            return w;
        for (WindowObject* child : w->children)
            if (WindowObject* found = needsPaint(child))
                return found;
        return nullptr;
    };
    for (WindowObject* w : s.windows)
        if (!w->parent)
            if (WindowObject* found = needsPaint(w)) {
                *message = Message{found, WM_PAINT, 0, 0, s.simulated ? s.now : realTicks(), s.cursor};
                return 1;
            }
    return 0;
}

LResult DispatchMessageA(const Message* message)
{
    return message ? SendMessageA(message->window, message->message, message->wParam, message->lParam) : 0;
}

Bool PostMessageA(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window))
        return 0;
    postMessage(window, message, wParam, lParam);
    return 1;
}

LResult SendMessageA(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    WindowProcedure procedure = procedureOf(window);
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

Cursor LoadCursorA(Module module, const char* name)
{
    static const uint32_t known[] = {IDC_ARROW,  IDC_WAIT,   IDC_SIZENWSE, IDC_SIZENESW,
                                     IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL};
    static CursorObject cursors[] = {{IDC_ARROW},  {IDC_WAIT},   {IDC_SIZENWSE}, {IDC_SIZENESW},
                                     {IDC_SIZEWE}, {IDC_SIZENS}, {IDC_SIZEALL}};
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (module)
        return nullptr; // no cursor resources here
    for (size_t i = 0; i < sizeof known / sizeof known[0]; ++i)
        if (known[i] == id)
            return &cursors[i];
    return nullptr;
}

Cursor SetCursor(Cursor cursor)
{
    std::lock_guard<std::mutex> lock(systemLock());
    System& s = system();
    if (!s.shownCursor)
        s.shownCursor = LoadCursorA(nullptr, intResource(IDC_ARROW));
    return std::exchange(s.shownCursor, cursor);
}

Cursor GetCursor()
{
    std::lock_guard<std::mutex> lock(systemLock());
    System& s = system();
    if (!s.shownCursor)
        s.shownCursor = LoadCursorA(nullptr, intResource(IDC_ARROW));
    return s.shownCursor;
}

Bool GetCursorPos(WinPoint* point)
{
    if (!point)
        return 0;
    std::lock_guard<std::mutex> lock(systemLock());
    *point = system().cursor;
    return 1;
}

int16_t GetAsyncKeyState(int virtualKey)
{
    uint32_t bit;
    switch (virtualKey) {
    case VK_LBUTTON: bit = host::leftButton; break;
    case VK_RBUTTON: bit = host::rightButton; break;
    case VK_MBUTTON: bit = host::middleButton; break;
    case VK_SHIFT: bit = host::shiftKey; break;
    case VK_CONTROL: bit = host::controlKey; break;
    case VK_MENU: bit = host::altKey; break;
    default: return 0;
    }
    std::lock_guard<std::mutex> lock(systemLock());
    return (system().held & bit) ? int16_t(-32768) : int16_t(0);
}

uint32_t GetTickCount()
{
    std::lock_guard<std::mutex> lock(systemLock());
    return system().simulated ? system().now : realTicks();
}

void Sleep(uint32_t milliseconds)
{
    {
        std::lock_guard<std::mutex> lock(systemLock());
        System& s = system();
        if (s.simulated) {
            advanceTo(s.now + milliseconds);
            return;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace host {

Window createParentWindow(int width, int height, int screenX, int screenY)
{
    static const char* const className = "VoltaraHostWindow";
    WindowClass windowClass{};
    windowClass.procedure = &hostWindowProcedure;
    windowClass.background = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.className = className;
    RegisterClassA(&windowClass); // fails harmlessly when it exists
    return CreateWindowExA(0, className, "Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, screenX, screenY, width,
                           height, nullptr, nullptr, nullptr, nullptr);
}

WinPoint toScreen(Window window, int x, int y)
{
    std::lock_guard<std::mutex> lock(systemLock());
    const WinPoint origin = isLiveWindow(window) ? screenOrigin(window) : WinPoint{0, 0};
    return {origin.x + x, origin.y + y};
}

void useSimulatedClock(uint32_t startMilliseconds)
{
    std::lock_guard<std::mutex> lock(systemLock());
    system().simulated = true;
    system().now = startMilliseconds;
}

void play(const std::vector<InputEvent>& script)
{
    std::lock_guard<std::mutex> lock(systemLock());
    System& s = system();
    const uint32_t start = s.simulated ? s.now : 0;
    for (InputEvent event : script) {
        event.time += start;
        auto later = std::upper_bound(s.script.begin(), s.script.end(), event,
                                      [](const auto& a, const auto& b) { return int32_t(a.time - b.time) < 0; });
        s.script.insert(later, event);
    }
}

void setInput(WinPoint screen, uint32_t held)
{
    std::lock_guard<std::mutex> lock(systemLock());
    InputEvent event;
    event.x = screen.x;
    event.y = screen.y;
    event.held = held;
    applyEvent(event);
}

int pumpMessages()
{
    int count = 0;
    Message message;
    // A window procedure that never validates would be asked to paint forever.
    while (count < 100000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
        ++count;
    }
    return count;
}

void runScript()
{
    for (;;) {
        pumpMessages();
        std::lock_guard<std::mutex> lock(systemLock());
        System& s = system();
        if (s.script.empty())
            break;
        const uint32_t next = s.script.front().time;
        advanceTo(int32_t(next - s.now) > 0 ? next : s.now);
    }
}

std::vector<InputEvent> takeForwardedEvents()
{
    std::lock_guard<std::mutex> lock(systemLock());
    return std::exchange(system().forwarded, {});
}

Image readPixels(Window window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    Image image;
    if (!isLiveWindow(window))
        return image;
    WinPoint origin;
    const WinRect area = visibleOnSurface(window, origin);
    const Surface& surface = *topLevel(window)->surface;
    image.width = window->rect.right - window->rect.left;
    image.height = window->rect.bottom - window->rect.top;
    image.rgb.assign(size_t(image.width) * image.height * 3, 0);
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, surface.height); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.right, surface.width); ++x) {
            const uint32_t p = surface.pixels[size_t(y) * surface.width + x];
            uint8_t* out = &image.rgb[(size_t(y - origin.y) * image.width + (x - origin.x)) * 3];
            out[0] = uint8_t(p);
            out[1] = uint8_t(p >> 8);
            out[2] = uint8_t(p >> 16);
        }
    return image;
}

std::vector<WinRect> takeDrawnAreas(Window window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    std::vector<WinRect> areas;
    if (!isLiveWindow(window))
        return areas;
    WinPoint origin;
    const WinRect visible = visibleOnSurface(window, origin);
    for (const WinRect& drawn : std::exchange(topLevel(window)->surface->drawn, {})) {
        const WinRect area{std::max(drawn.left, visible.left), std::max(drawn.top, visible.top),
                           std::min(drawn.right, visible.right), std::min(drawn.bottom, visible.bottom)};
        if (area.left < area.right && area.top < area.bottom)
            areas.push_back({area.left - origin.x, area.top - origin.y, area.right - origin.x, area.bottom - origin.y});
    }
    return areas;
}

uint32_t currentCursor()
{
    Cursor cursor = GetCursor();
    return cursor ? cursor->id : 0;
}

} // namespace host

} // namespace voltara::platform
