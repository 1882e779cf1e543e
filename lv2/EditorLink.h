#pragma once

#include "common/FourCharCode.h"
#include "common/Relaxed.h"
#include "lv2/UserEdits.h"
#include "tools/pluginhost/PluginInstance.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

namespace voltara::lv2 {

// What the LV2 plug-in shares with its own UI in the same process: the
// plug-in's handle is this object, which the UI reaches through the host's
// instance access. The UI shows the rack's own editor, and this is the way
// between them: the editor's calls to its host, made on the UI's thread, go
// to the UI (which passes them on to the LV2 host); the user's edits, so that
// the host's echo of them never undoes them; and the paths the LV2 host
// chose for the UI's requests, from the audio thread to the UI's.
class EditorLink {
public:
    static constexpr uint32_t expectedMagic = fourCharCode('V', 'L', 'n', 'k');
    static constexpr uint32_t currentVersion = 1;

    // What the UI does with the editor's host calls.
    class Listener {
    public:
        virtual void automate(int32_t parameter, float value) = 0;
        virtual void gesture(int32_t parameter, bool begins) = 0;
        // A FileSelectRecord: true when the user chose now.
        virtual bool selectFile(void* record) = 0;

    protected:
        ~Listener() = default;
    };

    // A path the host chose for the UI's request (a bank to load, the
    // content folder), on its way from run to the UI.
    enum class Chosen : int32_t { nothing, bank, contentFolder };

    EditorLink() = default;
    EditorLink(const EditorLink&) = delete;
    EditorLink& operator=(const EditorLink&) = delete;

    // The first words of the plug-in's instance: a UI checks them before it
    // trusts a handle.
    const uint32_t magic = expectedMagic;
    const uint32_t version = currentVersion;

    // The rack, once the plug-in has it; its host calls come here (answer).
    void setRack(pluginhost::PluginInstance& rack);
    pluginhost::PluginInstance& rack() { return *rack_; }

    // [UI thread] From now on the rack's host calls made on this thread go
    // to the listener; null: to nobody (the UI is going).
    void attach(Listener* listener);
    bool hasUi() const { return uiAttached_; }
    // [any thread] The rack's host calls; those of the UI's thread go to its
    // listener, the others get the usual answers.
    std::optional<intptr_t> answer(const pluginhost::HostCalls::Call& call, void* pointer);

    // [audio thread] A path the host set; dropped while the last one waits.
    void post(Chosen what, const char* path, uint32_t size);
    // [UI thread] The path waiting, if any.
    Chosen take(std::string& path);

    UserEdits edits;

private:
    pluginhost::PluginInstance* rack_ = nullptr;
    std::atomic<std::thread::id> uiThread_{};
    Listener* listener_ = nullptr; // read on the UI's thread only
    Relaxed<bool> uiAttached_{false};

    static constexpr uint32_t pathSize = 1024;
    std::atomic<int32_t> waiting_{int32_t(Chosen::nothing)};
    char path_[pathSize] = {};
};

} // namespace voltara::lv2
