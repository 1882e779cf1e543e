#pragma once

#include "plugin/host/HostEditor.h"
#include "plugin/host/PluginDescriptor.h"

#include <cstdint>

namespace voltara {

class EffectBaseEx;
class Frame;

// The editor as the host sees it: size, open into the host's window, close,
// idle time turned into redraws of what changed, keys. Owns the frame while
// open; the plug-in's own editor builds the frame and its contents.
// [window thread]
class EditorBase : public HostEditor {
public:
    // The host interface's rectangle layout.
    using EditorRect = voltara::EditorRect;

    // Attaches itself to the plug-in as its editor.
    explicit EditorBase(EffectBaseEx* plugin);
    ~EditorBase() override;

    int32_t getRect(void** rect) override;
    int32_t open(void* parentWindow) override;
    // Lets the frame go; one that user input still runs in goes when the
    // input returns (Frame::UserInput), drawing nothing meanwhile.
    void close() override;
    void idle() override;
    int32_t onKeyDown(KeyRecord* key) override;
    int32_t onKeyUp(KeyRecord* key) override;
    // Mode 2 makes knobs follow the mouse linearly (Alt inverts the choice).
    int32_t setKnobStyle(intptr_t mode) override;
    bool onWheel(float distance) override;
    // Draws the whole frame at once.
    virtual void draw(EditorRect* rect);
    // Called by controls while they track the mouse: the editor's idle at
    // most about every 100 ms, waiting paints, and the host's idle.
    virtual void runIdleWork();

    Frame* getFrame() const { return frame_; }
    EffectBaseEx* getPlugin() const { return plugin_; }
    bool beginGesture(int32_t tag);
    bool endGesture(int32_t tag);
    // Process-wide, read by the knobs.
    static int32_t knobMode();

protected:
    EffectBaseEx* plugin_;
    EditorRect rect_{};
    Frame* frame_ = nullptr;
    uint32_t nextIdleTime_;
    bool inIdleWork_ = false;
};

} // namespace voltara
