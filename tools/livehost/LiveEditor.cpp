#include "tools/livehost/LiveEditor.h"

#include "platform/Input.h"
#include "platform/linux/Host.h"

#include <algorithm>

namespace voltara::livehost {

namespace host = platform::host;

LiveEditor::LiveEditor(PluginDescriptor* plugin, std::unique_ptr<platform::x11::Presenter> presenter)
    : plugin_(plugin), presenter_(std::move(presenter)), nextIdle_(platform::GetTickCount())
{
}

std::unique_ptr<LiveEditor> LiveEditor::open(PluginDescriptor* plugin, platform::x11::Presenter::Settings settings,
                                             std::string& why, int hostRoom)
{
    void* size = nullptr;
    if (!plugin || plugin->dispatch(plugin, opEditorGetRect, 0, 0, &size, 0.0f) == 0 || !size) {
        why = "the plug-in has no editor";
        return nullptr;
    }
    const EditorRect& rect = *static_cast<EditorRect*>(size);
    settings.width = rect.right - rect.left;
    settings.height = rect.bottom - rect.top + hostRoom;
    auto presenter = platform::x11::Presenter::open(settings, why);
    if (!presenter)
        return nullptr;
    std::unique_ptr<LiveEditor> editor(new LiveEditor(plugin, std::move(presenter)));
    editor->width_ = settings.width;
    editor->height_ = settings.height - hostRoom;
    if (editor->dispatch(opEditorOpen, 0, 0, editor->presenter_->window()) == 0) {
        why = "the plug-in's editor did not open";
        return nullptr;
    }
    editor->idleNow();
    return editor;
}

LiveEditor::~LiveEditor()
{
    dispatch(opEditorClose);
    host::pumpMessages();
}

intptr_t LiveEditor::dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    return plugin_->dispatch(plugin_, opcode, index, value, pointer, opt);
}

bool LiveEditor::service(int waitMilliseconds)
{
    const int untilIdle = std::max(0, int32_t(nextIdle_ - platform::GetTickCount()));
    if (!presenter_->service(std::min(waitMilliseconds, untilIdle)))
        return false;
    // A click runs the control it lands on, which follows the mouse in its
    // own loop until the button is let go.
    host::pumpMessages();
    for (const host::InputEvent& key : presenter_->takeKeys())
        if (!hostKeys || !hostKeys(key))
            dispatch(key.keyDown ? opEditorKeyDown : opEditorKeyUp, key.character, key.virtualKey, nullptr,
                     float(key.modifier));
    if (int32_t(platform::GetTickCount() - nextIdle_) >= 0)
        idleNow();
    return !presenter_->gone();
}

void LiveEditor::idleNow()
{
    dispatch(opEditorIdle);
    nextIdle_ = platform::GetTickCount() + idleInterval;
    presenter_->flush();
}

} // namespace voltara::livehost
