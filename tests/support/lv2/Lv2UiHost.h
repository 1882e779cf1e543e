#pragma once

#include "tests/support/lv2/Lv2Host.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace voltara::test {

// The plug-in's LV2 UI in a host of the test's own, as suil and the hosts
// built on it embed X11 UIs: the UI's binary loaded with dlopen and
// instantiated inside an X window of the host's (ui:parent), given the
// running plug-in (instance access) and what a full host offers (resize,
// touch, the URID map, requestValue when asked); it records what the UI
// tells the host and passes port events and idle calls as a host's timer
// does. Closed (cleanup) when this goes.
class Lv2UiHost {
public:
    struct Offer {
        bool instanceAccess = true;
        bool touch = true;
        bool requestValue = false;
    };
    struct Write {
        uint32_t port;
        float value;
    };
    struct Touch {
        uint32_t port;
        bool grabbed;
    };

    // parent: the X window to embed into (0: none; the host then asks for
    // the show interface). Throws std::runtime_error when the binary does not load.
    Lv2UiHost(Lv2Host& plugin, const std::string& binaryPath, unsigned long parent, const Offer& offer);
    ~Lv2UiHost();
    Lv2UiHost(const Lv2UiHost&) = delete;
    Lv2UiHost& operator=(const Lv2UiHost&) = delete;

    // Whether the UI instantiated, and its X window.
    bool open() const { return handle_ != nullptr; }
    unsigned long widget() const { return widget_; }

    // The host's idle call; the UI's answer (non-zero: it closed).
    int idle();
    // The value of a control port as the host tells the UI.
    void portEvent(uint32_t port, float value);
    // show / hide of the show interface; 0 on success.
    int show();
    int hide();
    // cleanup now (from inside a call of the UI's, as a host may).
    void close();

    std::vector<Write> writes;
    std::vector<Touch> touches;
    std::vector<uint32_t> requestedKeys; // requestValue keys, as URIDs of the plug-in's map
    int resizedWidth = 0;
    int resizedHeight = 0;
    // Called after each write is recorded.
    std::function<void(const Write&)> onWrite;

private:
    struct State;
    State* state_;
    void* handle_ = nullptr;
    unsigned long widget_ = 0;
};

} // namespace voltara::test
