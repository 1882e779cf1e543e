#include "platform/linux/x11/LivePresenters.h"

#include "platform/linux/x11/DesktopDialogs.h"
#include "platform/linux/x11/PresenterState.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

namespace voltara::platform::x11 {
namespace {

namespace host = platform::host;

struct Registry {
    std::vector<Presenter::State*> presenters;
    std::thread::id thread;
    int modal = 0;
};

Registry& registry() // the window system's thread only
{
    static auto* state = new Registry;
    return *state;
}

bool onPresentersThread()
{
    return !registry().presenters.empty() && std::this_thread::get_id() == registry().thread;
}

} // namespace

void LivePresenters::add(Presenter::State* presenter)
{
    Registry& r = registry();
    if (r.presenters.empty()) {
        r.thread = std::this_thread::get_id();
        host::setWaiter([](uint32_t milliseconds) { wait(milliseconds); });
        host::setMessageShower([](const std::string& text, const std::string& caption) {
            return onPresentersThread() && DesktopDialogs::showMessage(text, caption);
        });
    }
    r.presenters.push_back(presenter);
}

void LivePresenters::remove(Presenter::State* presenter)
{
    Registry& r = registry();
    r.presenters.erase(std::remove(r.presenters.begin(), r.presenters.end(), presenter), r.presenters.end());
    if (r.presenters.empty()) {
        host::setWaiter(nullptr);
        host::setMessageShower(nullptr);
    }
}

Presenter::State* LivePresenters::first()
{
    return registry().presenters.empty() ? nullptr : registry().presenters.front();
}

void LivePresenters::poll(int milliseconds, const std::vector<int>& descriptors)
{
    std::vector<pollfd> waiting;
    if (onPresentersThread())
        for (Presenter::State* presenter : registry().presenters) {
            // Events already read from the connection wait in Xlib, not on the socket.
            if (XPending(presenter->display) > 0)
                milliseconds = 0;
            waiting.push_back({ConnectionNumber(presenter->display), POLLIN, 0});
        }
    for (int descriptor : descriptors)
        waiting.push_back({descriptor, POLLIN, 0});
    ::poll(waiting.data(), waiting.size(), milliseconds);
}

void LivePresenters::wait(uint32_t milliseconds)
{
    if (!onPresentersThread()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    poll(int(milliseconds), {});
    // A presenter may go while another is served (its host closes it).
    const std::vector<Presenter::State*> serving = registry().presenters;
    for (Presenter::State* presenter : serving)
        if (std::find(registry().presenters.begin(), registry().presenters.end(), presenter)
            != registry().presenters.end())
            presenter->serve(registry().modal == 0);
}

void LivePresenters::paintWhileWaiting(int milliseconds, const std::vector<int>& descriptors)
{
    poll(milliseconds, descriptors);
    if (onPresentersThread())
        paintOthers(nullptr);
}

void LivePresenters::paintOthers(const Presenter::State* except)
{
    for (Presenter::State* presenter : std::vector<Presenter::State*>(registry().presenters))
        if (presenter != except)
            presenter->serve(false);
}

LivePresenters::Modal::Modal()
{
    ++registry().modal;
}

LivePresenters::Modal::~Modal()
{
    --registry().modal;
}

} // namespace voltara::platform::x11
