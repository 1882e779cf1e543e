#include "lv2/EditorLink.h"

#include "plugin/host/PluginDescriptor.h"

#include <cstring>

namespace voltara::lv2 {

void EditorLink::setRack(pluginhost::PluginInstance& rack)
{
    rack_ = &rack;
    rack.respond = [this](const pluginhost::HostCalls::Call& call, void* pointer) { return answer(call, pointer); };
}

void EditorLink::attach(Listener* listener)
{
    listener_ = listener;
    uiThread_ = listener ? std::this_thread::get_id() : std::thread::id();
    uiAttached_ = listener != nullptr;
}

std::optional<intptr_t> EditorLink::answer(const pluginhost::HostCalls::Call& call, void* pointer)
{
    if (std::this_thread::get_id() != uiThread_.load(std::memory_order_relaxed) || !listener_)
        return std::nullopt;
    switch (call.opcode) {
    case hostAutomate: listener_->automate(call.index, call.opt); return std::nullopt;
    case hostBeginGesture:
    case hostEndGesture: listener_->gesture(call.index, call.opcode == hostBeginGesture); return 1;
    case hostCapability:
        return pointer && std::strcmp(static_cast<const char*>(pointer), "openFileSelector") == 0 ? 1 : 0;
    case hostOpenFileSelector: return pointer && listener_->selectFile(pointer) ? 1 : 0;
    default: return std::nullopt;
    }
}

void EditorLink::post(Chosen what, const char* path, uint32_t size)
{
    if (waiting_.load(std::memory_order_acquire) != int32_t(Chosen::nothing) || size == 0 || size >= pathSize)
        return;
    std::memcpy(path_, path, size);
    path_[size] = '\0';
    waiting_.store(int32_t(what), std::memory_order_release);
}

EditorLink::Chosen EditorLink::take(std::string& path)
{
    const auto what = Chosen(waiting_.load(std::memory_order_acquire));
    if (what == Chosen::nothing)
        return what;
    path = path_;
    waiting_.store(int32_t(Chosen::nothing), std::memory_order_release);
    return what;
}

} // namespace voltara::lv2
