#include "tests/windows/PluginInstance.h"

namespace voltara::winhost {

namespace {

using PluginMain = PluginDescriptor* (*)(HostCallback);

constexpr intptr_t hostInterfaceVersion = 2200;

// The instance whose `main` is running: the plug-in calls back before the
// host has its descriptor.
PluginInstance* constructing = nullptr;

} // namespace

PluginDll::PluginDll(const std::string& path) : module_(LoadLibraryA(path.c_str())) {}

PluginDll::~PluginDll()
{
    if (module_)
        FreeLibrary(module_);
}

FARPROC PluginDll::find(const char* name) const
{
    return module_ ? GetProcAddress(module_, name) : nullptr;
}

PluginInstance::PluginInstance(const PluginDll& dll)
{
    const auto main = dll.entry<PluginMain>("main");
    if (main == nullptr)
        return;
    constructing = this;
    plugin_ = main(&PluginInstance::callback);
    constructing = nullptr;
    if (plugin_)
        plugin_->hostUser = this;
}

PluginInstance::~PluginInstance()
{
    if (plugin_) {
        dispatch(opSuspendResume, 0, 0);
        dispatch(opClose);
    }
}

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    return plugin_->dispatch(plugin_, opcode, index, value, pointer, opt);
}

std::string PluginInstance::text(int32_t opcode, int32_t index)
{
    char buffer[256] = {};
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

void PluginInstance::prepare(double sampleRate, int32_t blockSize, double tempo)
{
    time_ = TimeInfo{};
    time_.sampleRate = sampleRate;
    time_.tempo = tempo;
    time_.timeSignatureNumerator = 4;
    time_.timeSignatureDenominator = 4;
    dispatch(opSetSampleRate, 0, 0, nullptr, float(sampleRate));
    dispatch(opSetBlockSize, 0, blockSize);
}

void PluginInstance::resume()
{
    dispatch(opSuspendResume, 0, 1);
}

void PluginInstance::process(float** inputs, float** outputs, int32_t frames)
{
    plugin_->processOverwriting(plugin_, inputs, outputs, frames);
    time_.samplePosition += frames;
    time_.songPosition += frames * time_.tempo / (60.0 * time_.sampleRate);
}

int PluginInstance::count(int32_t opcode) const
{
    int found = 0;
    for (const Call& call : calls)
        found += call.opcode == opcode;
    return found;
}

intptr_t PluginInstance::callback(PluginDescriptor* descriptor, int32_t opcode, int32_t index, intptr_t value,
                                  void* pointer, float opt)
{
    auto* host = descriptor && descriptor->hostUser ? static_cast<PluginInstance*>(descriptor->hostUser) : constructing;
    if (host == nullptr)
        return opcode == hostVersion ? hostInterfaceVersion : 0;
    host->calls.push_back({opcode, index, value, opt});
    return host->answer(opcode, pointer);
}

intptr_t PluginInstance::answer(int32_t opcode, void* pointer)
{
    if (takeOver)
        if (const std::optional<intptr_t> answer = takeOver(opcode, pointer))
            return *answer;
    switch (opcode) {
    case hostVersion: return hostInterfaceVersion;
    case hostGetTime: return reinterpret_cast<intptr_t>(&time_);
    case hostWantEvents:
    case hostRefresh: return 1;
    default: return 0;
    }
}

} // namespace voltara::winhost
