#pragma once

#include "platform/linux/x11/Presenter.h"

#include <cstdint>
#include <thread>
#include <vector>

// The presenters alive in the process, served together: while the plug-in
// sleeps (the window system's waiter), and while a modal popup or dialog
// runs, when they repaint but take no input. They live on one thread, the
// window system's; from any other thread waiting is plain sleeping.

namespace voltara::platform::x11 {

class LivePresenters {
public:
    static void add(Presenter::State* presenter);
    static void remove(Presenter::State* presenter);
    // The first live presenter, to own dialogs; null when none.
    static Presenter::State* first();

    // Serves every live presenter for up to the time given: returns when
    // events were served or the time is up.
    static void wait(uint32_t milliseconds);
    // Serves every live presenter, painting only, for up to the time given
    // or until one of the descriptors is readable (or closed).
    static void paintWhileWaiting(int milliseconds, const std::vector<int>& descriptors);

    // Serves every live presenter but one, painting only, without waiting
    // (a popup of that one reads its events itself).
    static void paintOthers(const Presenter::State* except);

    // While one lives, presenters take no input: a modal popup or dialog runs.
    class Modal {
    public:
        Modal();
        ~Modal();
        Modal(const Modal&) = delete;
        Modal& operator=(const Modal&) = delete;
    };

private:
    // Polls every presenter's connection and the descriptors.
    static void poll(int milliseconds, const std::vector<int>& descriptors);
};

} // namespace voltara::platform::x11
