#pragma once

#include "common/Relaxed.h"

#include <cstdint>

namespace voltara {

class EffectBase;
struct KeyRecord;

// The editor as the host's interface sees it: size, open into a host window,
// close, idle, keys. The plug-in's editor derives from this.
// [window thread] unless said otherwise
class HostEditor {
public:
    explicit HostEditor(EffectBase* effect) : effect_(effect) {}
    HostEditor(const HostEditor&) = delete;
    HostEditor& operator=(const HostEditor&) = delete;
    virtual ~HostEditor() = default;

    // Stores a pointer to the editor's rectangle in *rect; 0 when it has none.
    virtual int32_t getRect(void** rect);
    virtual int32_t open(void* parentWindow);
    virtual void close();
    virtual void idle();
    virtual void update() {}
    // [any thread] Asks for update at the next idle.
    virtual void requestRefresh() { updatePending_ = true; }
    // [any thread] Asks for refreshAll at the next idle, on the window thread:
    // how a program change that arrives with MIDI on the audio thread reaches
    // the editor.
    void requestRefreshAll() { refreshAllPending_ = true; }
    virtual int32_t onKeyDown(KeyRecord* key);
    virtual int32_t onKeyUp(KeyRecord* key);
    virtual int32_t setKnobStyle(intptr_t mode);
    virtual bool onWheel(float distance);
    // A parameter changed (host automation, program change, MIDI).
    virtual void setParameter(int32_t index, float value);
    // Every control re-reads its parameter (program change, bank load).
    virtual void refreshAll() {}

    // Work the user started in the editor (a click and the drag that follows
    // it, a key, the questions asked at open). It calls the host, and the
    // host may close the editor or the whole plug-in from inside such a call:
    // the plug-in then goes only once the work has unwound, and the host
    // hears nothing more from it.
    class InputScope {
    public:
        explicit InputScope(HostEditor* editor);
        // The last one out destroys a plug-in closed meanwhile.
        ~InputScope();
        InputScope(const InputScope&) = delete;
        InputScope& operator=(const InputScope&) = delete;

    private:
        HostEditor* editor_;
    };
    bool inInput() const { return inputDepth_ > 0; }
    // The plug-in was closed while input ran: it is destroyed when the input
    // has unwound.
    void destroyEffectAfterInput() { effectClosed_ = true; }

protected:
    // What idle does for the base: refreshAll when it was asked for, then
    // update when pending. An editor that overrides idle calls it first.
    void runPendingUpdates();

    EffectBase* effect_;
    void* systemWindow_ = nullptr;
    Relaxed<bool> updatePending_{false};
    Relaxed<bool> refreshAllPending_{false};
    int32_t inputDepth_ = 0;
    bool effectClosed_ = false;
};

} // namespace voltara
