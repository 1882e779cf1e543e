#pragma once

#include "platform/linux/Host.h"
#include "plugin/host/FileSelector.h"
#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/editor/EditorScript.h"
#include "tools/voltara/editor/HostLog.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace voltara {

// The plug-in's editor open in a window of ours, played by a script, and the
// answers the script gives to its popup menus and file selectors. Takes over
// the plug-in's host calls and the window system's menu chooser while it
// lives.
class EditorSession {
public:
    EditorSession(pluginhost::PluginInstance& plugin, const EditorScript& script);
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // Opens the editor with the host's knob mode; throws ToolError when it
    // has none or it does not open.
    void open(intptr_t knobStyle);
    // Mouse actions go to the window system as one timed script, which the
    // controls follow in their own loops; keys and the wheel go through the
    // host between them.
    void play();
    // What a host's idle timer gives the editor while the user pauses.
    void pause();

    platform::host::Image screenshot() const { return platform::host::readPixels(parent_); }
    // What the window's texts read now (the rate displays): the text drawn
    // last in each place since the editor opened, top to bottom, left to right.
    std::vector<platform::host::DrawnText> shownTexts() const;
    const HostLog& log() const { return log_; }

private:
    uint32_t elapsed() const;
    void runMouse(std::vector<platform::host::InputEvent>& events);
    void pressKey(const EditorScript::Step& step);
    void turnWheel(const EditorScript::Step& step);
    const EditorScript::Step* takeAnswer(std::vector<const EditorScript::Step*>& answers);
    const platform::host::MenuItem* choose(const std::vector<platform::host::MenuItem>& items,
                                           platform::WinPoint screen);
    std::optional<intptr_t> answer(int32_t opcode, int32_t index, void* pointer, float opt);
    intptr_t selectFile(FileSelectRecord& request);

    pluginhost::PluginInstance& plugin_;
    const EditorScript& script_;
    HostLog log_;
    std::vector<const EditorScript::Step*> menuAnswers_;
    std::vector<const EditorScript::Step*> fileAnswers_;
    platform::Window parent_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    uint32_t start_ = 0;
    std::string error_;
};

} // namespace voltara
