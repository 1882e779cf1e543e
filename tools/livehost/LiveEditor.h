#pragma once

#include "platform/linux/x11/Presenter.h"
#include "plugin/host/PluginDescriptor.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace voltara::livehost {

// A plug-in's editor live on the display, as a host shows it: opened into
// the window of a presenter (platform/linux/x11), the display's clicks
// delivered through the window system's message pump, its keys passed on
// as a host passes keys (opEditorKeyDown / Up), its idle given at least 50
// times a second. [window thread]
class LiveEditor {
public:
    static constexpr uint32_t idleInterval = 20; // ms between the editor's idle calls

    // Opens the plug-in's editor in a presenter made with these settings
    // (the size is the editor's own, with hostRoom pixels more below it for
    // the host's own strip). Null, with why in one line, when the plug-in has
    // no editor, the display cannot be opened or the editor does not open.
    static std::unique_ptr<LiveEditor> open(PluginDescriptor* plugin, platform::x11::Presenter::Settings settings,
                                            std::string& why, int hostRoom = 0);
    // Closes the editor, then the presenter.
    ~LiveEditor();
    LiveEditor(const LiveEditor&) = delete;
    LiveEditor& operator=(const LiveEditor&) = delete;

    // Serves the display for up to waitMilliseconds (less when the editor's
    // idle falls due), delivers the input that came and gives the editor its
    // idle when due. False once the window is gone (the user closed it, or
    // its parent went).
    bool service(int waitMilliseconds);
    // The editor's idle now, and what it drew on the display.
    void idleNow();
    // Takes the window off the display at once, even from inside a call the
    // editor made while the user holds a control (the control lets go); the
    // editor itself closes when this goes.
    void close() { presenter_->close(); }
    // The editor's size in pixels (the host's room lies below it).
    int width() const { return width_; }
    int height() const { return height_; }

    platform::x11::Presenter& presenter() { return *presenter_; }

    // The keys the host keeps for itself (true), before the editor hears them.
    std::function<bool(const platform::host::InputEvent& key)> hostKeys;

private:
    LiveEditor(PluginDescriptor* plugin, std::unique_ptr<platform::x11::Presenter> presenter);
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr, float opt = 0.0f);

    PluginDescriptor* plugin_;
    std::unique_ptr<platform::x11::Presenter> presenter_;
    uint32_t nextIdle_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace voltara::livehost
