#include "tools/voltara/PluginHost.h"

#include "tools/voltara/ToolError.h"

#include <cstring>

namespace voltara {
namespace {

using PluginMain = PluginDescriptor* (*)(HostCallback);

// What this host reports as its own interface version.
constexpr intptr_t hostInterfaceVersion = 2200;
// Room for any text the plug-in writes; its texts are short.
constexpr std::size_t textBufferSize = 256;

} // namespace

PluginHost::PluginHost(const std::string& libraryPath) : library_(libraryPath)
{
    const auto entry = library_.entry<PluginMain>("main");
    plugin_ = entry(&PluginHost::callback);
    if (plugin_ == nullptr || plugin_->magic != descriptorMagic)
        throw ToolError("cannot load the plug-in: main of " + library_.path() + " gave no plug-in descriptor");
    plugin_->hostUser = this;
}

PluginHost::~PluginHost()
{
    plugin_->dispatch(plugin_, opSuspendResume, 0, 0, nullptr, 0.0f);
    plugin_->dispatch(plugin_, opClose, 0, 0, nullptr, 0.0f);
}

void PluginHost::prepare(double sampleRate, int blockSize, double tempo)
{
    time_ = TimeInfo{};
    time_.sampleRate = sampleRate;
    time_.tempo = tempo;
    time_.timeSignatureNumerator = 4;
    time_.timeSignatureDenominator = 4;
    ask(opSetSampleRate, 0, 0, nullptr, float(sampleRate));
    ask(opSetBlockSize, 0, blockSize);
}

void PluginHost::resume()
{
    ask(opSuspendResume, 0, 1);
}

void PluginHost::process(float* const* inputs, float* const* outputs, int frames)
{
    plugin_->processOverwriting(plugin_, const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
    time_.samplePosition += frames;
    time_.songPosition += frames * time_.tempo / (60.0 * time_.sampleRate);
}

void PluginHost::sendMidi(const std::vector<MidiEvent>& events)
{
    if (events.empty())
        return;
    // The list is a count, a reserved word and then one pointer per event.
    std::vector<MidiEvent> records = events;
    std::vector<MidiEvent*> storage(offsetof(MidiEventList, events) / sizeof(MidiEvent*) + events.size());
    auto* list = reinterpret_cast<MidiEventList*>(storage.data());
    list->count = int32_t(events.size());
    list->reserved = 0;
    for (std::size_t i = 0; i < records.size(); ++i)
        list->events[i] = &records[i];
    ask(opHandleEvents, 0, 0, list);
}

void PluginHost::setParameter(int index, float value)
{
    plugin_->setParameter(plugin_, index, value);
}

float PluginHost::parameter(int index) const
{
    return plugin_->getParameter(plugin_, index);
}

std::string PluginHost::parameterName(int index) const
{
    char buffer[textBufferSize] = {};
    ask(opGetParameterName, index, 0, buffer);
    return buffer;
}

std::string PluginHost::parameterText(int index) const
{
    char buffer[textBufferSize] = {};
    ask(opGetParameterText, index, 0, buffer);
    return buffer;
}

int PluginHost::program() const
{
    return int(ask(opGetProgram));
}

void PluginHost::setProgram(int number)
{
    ask(opSetProgram, 0, number);
}

std::string PluginHost::programName(int number) const
{
    char buffer[textBufferSize] = {};
    ask(opGetProgramNameAt, number, 0, buffer);
    return buffer;
}

void PluginHost::setProgramName(const std::string& name)
{
    char buffer[textBufferSize] = {};
    std::strncpy(buffer, name.c_str(), sizeof buffer - 1);
    ask(opSetProgramName, 0, 0, buffer);
}

std::string PluginHost::text(Opcode opcode) const
{
    char buffer[textBufferSize] = {};
    ask(opcode, 0, 0, buffer);
    return buffer;
}

intptr_t PluginHost::ask(Opcode opcode, int32_t index, intptr_t value, void* pointer, float opt) const
{
    return plugin_->dispatch(plugin_, opcode, index, value, pointer, opt);
}

intptr_t PluginHost::callback(PluginDescriptor* descriptor, int32_t opcode, int32_t index, intptr_t value,
                              void* pointer, float opt)
{
    if (opcode == hostVersion)
        return hostInterfaceVersion;
    // During construction the plug-in calls before this host has claimed it.
    auto* host = descriptor != nullptr ? static_cast<PluginHost*>(descriptor->hostUser) : nullptr;
    return host != nullptr ? host->answer(opcode, index, value, pointer, opt) : 0;
}

intptr_t PluginHost::answer(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    if (handler_)
        if (const std::optional<intptr_t> answered = handler_(opcode, index, value, pointer, opt))
            return *answered;
    switch (opcode) {
    case hostGetTime: return reinterpret_cast<intptr_t>(&time_);
    case hostWantEvents:
    case hostRefresh: return 1;
    default: return 0;
    }
}

} // namespace voltara
