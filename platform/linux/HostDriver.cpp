#include "platform/Window.h"
#include "platform/linux/WindowSystem.h"

#include <algorithm>
#include <utility>

// The host's side of the window system (Host.h): its parent window, the
// clock and the input script, the message pump, and the pixels it reads back.

namespace voltara::platform {

namespace {

LResult VOLTARA_CALLBACK hostWindowProcedure(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

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
    startSimulatedClock(startMilliseconds);
}

void play(const std::vector<InputEvent>& script)
{
    std::lock_guard<std::mutex> lock(systemLock());
    schedule(script);
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
        if (!advanceToNextEvent())
            break;
    }
}

std::vector<InputEvent> takeForwardedEvents()
{
    std::lock_guard<std::mutex> lock(systemLock());
    return takeForwarded();
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

WinRect copyPixels(Window window, WinRect area, uint32_t* destination, int stride)
{
    std::lock_guard<std::mutex> lock(systemLock());
    if (!isLiveWindow(window) || !destination)
        return {0, 0, 0, 0};
    WinPoint origin;
    const WinRect visible = visibleOnSurface(window, origin);
    const Surface& surface = *topLevel(window)->surface;
    const WinRect want{std::max({area.left + origin.x, visible.left, 0}),
                       std::max({area.top + origin.y, visible.top, 0}),
                       std::min({area.right + origin.x, visible.right, surface.width}),
                       std::min({area.bottom + origin.y, visible.bottom, surface.height})};
    if (want.left >= want.right || want.top >= want.bottom)
        return {0, 0, 0, 0};
    for (int y = want.top; y < want.bottom; ++y) {
        const uint32_t* from = &surface.pixels[size_t(y) * surface.width + want.left];
        uint32_t* to = destination + size_t(y - want.top) * stride;
        for (int x = want.left; x < want.right; ++x) {
            const uint32_t p = *from++; // red | green << 8 | blue << 16
            *to++ = (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
        }
    }
    return {want.left - origin.x, want.top - origin.y, want.right - origin.x, want.bottom - origin.y};
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

std::vector<DrawnText> takeDrawnTexts(Window window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    std::vector<DrawnText> texts;
    if (!isLiveWindow(window))
        return texts;
    WinPoint origin;
    const WinRect visible = visibleOnSurface(window, origin);
    for (DrawnText& drawn : std::exchange(topLevel(window)->surface->texts, {})) {
        const WinRect& r = drawn.rect;
        if (r.right <= visible.left || r.left >= visible.right || r.bottom <= visible.top || r.top >= visible.bottom)
            continue;
        texts.push_back(
            {{r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y}, std::move(drawn.text)});
    }
    return texts;
}

} // namespace host

} // namespace voltara::platform
