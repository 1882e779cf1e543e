#include "tools/pluginhost/PluginInstance.h"

#include "tools/pluginhost/HostTime.h"

#include <cstring>

namespace voltara::pluginhost {
namespace {

// Room for any text the plug-in writes; its texts are short.
constexpr std::size_t textBufferSize = 256;

} // namespace

PluginInstance::PluginInstance(const PluginLibrary& library, bool claim)
    : main_(library.entry<MainEntry>("main")), claim_(claim)
{
}

PluginInstance::~PluginInstance()
{
    close();
}

PluginDescriptor* PluginInstance::open()
{
    close();
    if (main_ == nullptr)
        return nullptr;
    PluginDescriptor* plugin = nullptr;
    {
        const Opening opening(*this);
        plugin = main_(&HostCalls::callback);
    }
    if (plugin == nullptr || plugin->magic != descriptorMagic)
        return nullptr;
    plugin_ = plugin;
    attach(plugin_, claim_);
    return plugin_;
}

intptr_t PluginInstance::close()
{
    if (plugin_ == nullptr)
        return 0;
    if (resumed_)
        suspend();
    const intptr_t result = dispatch(opClose);
    // Still attached: a closed plug-in that calls its host is heard (and recorded).
    plugin_ = nullptr;
    return result;
}

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt) const
{
    return plugin_->dispatch(plugin_, opcode, index, value, pointer, opt);
}

std::string PluginInstance::text(int32_t opcode, int32_t index, const char* before) const
{
    char buffer[textBufferSize] = {};
    std::strncpy(buffer, before, sizeof buffer - 1);
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

void PluginInstance::prepare(double sampleRate, int32_t blockSize, double tempo)
{
    time = fourFourTime(sampleRate, tempo);
    dispatch(opSetSampleRate, 0, 0, nullptr, float(sampleRate));
    dispatch(opSetBlockSize, 0, blockSize);
}

void PluginInstance::resume()
{
    dispatch(opSuspendResume, 0, 1);
    resumed_ = true;
}

void PluginInstance::suspend()
{
    dispatch(opSuspendResume, 0, 0);
    resumed_ = false;
}

void PluginInstance::process(float* const* inputs, float* const* outputs, int32_t frames, double speed)
{
    plugin_->processOverwriting(plugin_, const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
    advance(time, frames, speed);
}

void PluginInstance::sendMidi(const std::vector<MidiEvent>& events)
{
    for (const MidiEvent& event : events)
        if (!midi_.add(event)) {
            midi_.send(plugin_);
            midi_.add(event);
        }
    midi_.send(plugin_);
}

void PluginInstance::setParameter(int32_t index, float value)
{
    plugin_->setParameter(plugin_, index, value);
}

float PluginInstance::parameter(int32_t index) const
{
    return plugin_->getParameter(plugin_, index);
}

void PluginInstance::setProgramName(const std::string& name)
{
    char buffer[textBufferSize] = {};
    std::strncpy(buffer, name.c_str(), sizeof buffer - 1);
    dispatch(opSetProgramName, 0, 0, buffer);
}

LoadedPlugin::LoadedPlugin(const std::string& libraryPath)
    : PluginLibrary(libraryPath), PluginInstance(static_cast<const PluginLibrary&>(*this))
{
    requiredEntry<void (*)()>("main");
    if (open() == nullptr)
        throw LoadError("main of " + path() + " gave no plug-in descriptor");
}

} // namespace voltara::pluginhost
