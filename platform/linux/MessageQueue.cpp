#include "platform/Window.h"
#include "platform/linux/WindowSystem.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <thread>

// One queue of posted messages for every window; paint messages are made
// when asked for.

namespace voltara::platform {

namespace {

std::deque<Message>& queue()
{
    static auto* posted = new std::deque<Message>; // lives as long as the process
    return *posted;
}

WindowProcedure procedureOf(WindowObject* window)
{
    std::lock_guard<std::mutex> lock(systemLock());
    return isLiveWindow(window) ? window->windowClass->definition.procedure : nullptr;
}

} // namespace

void postMessage(WindowObject* window, uint32_t message, WParam wParam, LParam lParam)
{
    queue().push_back(Message{window, message, wParam, lParam, currentTime(), cursorPosition()});
}

void dropMessagesFor(WindowObject* window)
{
    auto& posted = queue();
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const Message& m) { return m.window == window; }),
                 posted.end());
}

Bool PeekMessageA(Message* message, Window window, uint32_t first, uint32_t last, uint32_t remove)
{
    if (!message)
        return 0;
    std::lock_guard<std::mutex> lock(systemLock());
    auto& posted = queue();
    const auto thread = std::this_thread::get_id();
    auto wanted = [&](WindowObject* target, uint32_t kind) {
        return (first == 0 && last == 0 ? true : kind >= first && kind <= last) && target && target->thread == thread
               && (!window || isDescendant(target, window));
    };
    for (auto it = posted.begin(); it != posted.end(); ++it)
        if (wanted(it->window, it->message)) {
            *message = *it;
            if (remove & PM_REMOVE)
                posted.erase(it);
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
    for (WindowObject* w : liveWindows())
        if (!w->parent)
            if (WindowObject* found = needsPaint(w)) {
                *message = Message{found, WM_PAINT, 0, 0, currentTime(), cursorPosition()};
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

} // namespace voltara::platform
