#pragma once

#include "plugin/host/PluginDescriptor.h"
#include "tools/voltara/PluginLibrary.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace voltara {

// One instance of the plug-in, loaded from its shared library and driven only
// through the descriptor, as an audio host drives it. Answers the plug-in's
// host calls: version, time information (a steady tempo and a song position
// that advances with every processed block) and event requests.
class PluginHost {
public:
    // Loads the library and calls its `main`; throws ToolError when either fails.
    explicit PluginHost(const std::string& libraryPath);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    const PluginDescriptor& descriptor() const { return *plugin_; }

    // Before audio: rate in Hz, frames per call at most, tempo in beats per minute.
    void prepare(double sampleRate, int blockSize, double tempo);
    void resume();
    // Replaces outputs with the processed inputs; frames at most the block size.
    void process(float* const* inputs, float* const* outputs, int frames);
    // Delivers MIDI events (status and two data bytes each) before the next block.
    void sendMidi(const std::vector<MidiEvent>& events);

    void setParameter(int index, float value);
    float parameter(int index) const;
    std::string parameterName(int index) const;
    std::string parameterText(int index) const;

    int program() const;
    void setProgram(int number);
    std::string programName(int number) const;
    void setProgramName(const std::string& name);

    // Sees every host call the plug-in makes once it is loaded; an answer
    // it gives replaces the host's own.
    using CallHandler =
        std::function<std::optional<intptr_t>(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)>;
    void setCallHandler(CallHandler handler) { handler_ = std::move(handler); }

    // A text query such as opGetEffectName.
    std::string text(Opcode opcode) const;
    intptr_t ask(Opcode opcode, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr, float opt = 0.0f) const;

private:
    static intptr_t callback(PluginDescriptor* descriptor, int32_t opcode, int32_t index, intptr_t value, void* pointer,
                             float opt);
    intptr_t answer(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt);

    PluginLibrary library_;
    CallHandler handler_;
    PluginDescriptor* plugin_ = nullptr;
    TimeInfo time_{};
};

} // namespace voltara
