#include "platform/Input.h"
#include "platform/Window.h"
#include "platform/linux/WindowSystem.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <thread>
#include <utility>

// Input as the host scripts it: the cursor, the buttons and keys held, and
// a clock that runs for real or only as the script moves it.

namespace voltara::platform {

namespace {

struct Input {
    WinPoint cursor{};
    uint32_t held = 0;
    bool simulated = false;
    uint32_t now = 0;
    std::deque<host::InputEvent> script; // absolute times, in order
    std::vector<host::InputEvent> forwarded;
};

Input& input()
{
    static auto* state = new Input; // lives as long as the process
    return *state;
}

Installed<host::Waiter>& waiter()
{
    static auto* installed = new Installed<host::Waiter>;
    return *installed;
}

uint32_t realTicks()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Moves the clock to the time given, applying every event due by then.
void advanceTo(uint32_t time)
{
    Input& s = input();
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

} // namespace

uint32_t currentTime()
{
    return input().simulated ? input().now : realTicks();
}

WinPoint cursorPosition()
{
    return input().cursor;
}

void applyEvent(const host::InputEvent& event)
{
    Input& s = input();
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

void startSimulatedClock(uint32_t startMilliseconds)
{
    input().simulated = true;
    input().now = startMilliseconds;
}

void schedule(const std::vector<host::InputEvent>& script)
{
    Input& s = input();
    const uint32_t start = s.simulated ? s.now : 0;
    for (host::InputEvent event : script) {
        event.time += start;
        auto later = std::upper_bound(s.script.begin(), s.script.end(), event,
                                      [](const auto& a, const auto& b) { return int32_t(a.time - b.time) < 0; });
        s.script.insert(later, event);
    }
}

bool advanceToNextEvent()
{
    Input& s = input();
    if (s.script.empty())
        return false;
    const uint32_t next = s.script.front().time;
    advanceTo(int32_t(next - s.now) > 0 ? next : s.now);
    return true;
}

std::vector<host::InputEvent> takeForwarded()
{
    return std::exchange(input().forwarded, {});
}

void moveCursor(WinPoint screen)
{
    input().cursor = screen;
}

Bool GetCursorPos(WinPoint* point)
{
    if (!point)
        return 0;
    std::lock_guard<std::mutex> lock(systemLock());
    *point = input().cursor;
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
    return (input().held & bit) ? int16_t(-32768) : int16_t(0);
}

uint32_t GetTickCount()
{
    std::lock_guard<std::mutex> lock(systemLock());
    return currentTime();
}

void Sleep(uint32_t milliseconds)
{
    {
        std::lock_guard<std::mutex> lock(systemLock());
        Input& s = input();
        if (s.simulated) {
            advanceTo(s.now + milliseconds);
            return;
        }
    }
    const host::Waiter wait = waiter().get();
    if (!wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    // The display's input and drawing are served while the plug-in sleeps.
    const uint32_t until = realTicks() + milliseconds;
    for (int32_t left = int32_t(milliseconds); left > 0; left = int32_t(until - realTicks()))
        wait(uint32_t(left));
}

void host::setWaiter(Waiter wait)
{
    waiter().set(std::move(wait));
}

} // namespace voltara::platform
