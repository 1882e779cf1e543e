#pragma once

#include "plugin/host/PluginDescriptor.h"
#include "tools/pluginhost/HostCalls.h"
#include "tools/pluginhost/MidiBatch.h"
#include "tools/pluginhost/PluginLibrary.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voltara::pluginhost {

// One instance of the plug-in from its library's `main`, driven only through
// the descriptor as an audio host drives it, with the host's answers to its
// calls and their record.
class PluginInstance : public HostCalls {
public:
    // claim: the host keeps itself in the descriptor's hostUser, as hosts
    // do; a test that checks the plug-in leaves hostUser alone says no.
    explicit PluginInstance(const PluginLibrary& library, bool claim = true);
    // Closes what is open.
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Calls `main`; null when it is missing, refused or gave no plug-in.
    PluginDescriptor* open();
    // Suspends it when resumed, then opClose; answers what opClose answered
    // (0 when nothing was open). The host stays attached until the next open.
    intptr_t close();
    PluginDescriptor* descriptor() const { return plugin_; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr,
                      float opt = 0.0f) const;
    // A text the plug-in writes into a buffer: names, labels, displays.
    // The buffer holds `before` until then, so a test sees what a plug-in
    // that writes nothing leaves.
    std::string text(int32_t opcode, int32_t index = 0, const char* before = "") const;

    // Before audio: rate in Hz, frames per call at most, tempo in beats per
    // minute; the host's time then stands at the start in 4/4.
    void prepare(double sampleRate, int32_t blockSize, double tempo);
    void resume();
    void suspend();
    // Replaces outputs with the processed inputs (frames at most the block
    // size) and moves the host's time on at the transport's speed.
    void process(float* const* inputs, float* const* outputs, int32_t frames, double speed = 1.0);
    // Delivers MIDI events before the next block.
    void sendMidi(const std::vector<MidiEvent>& events);

    void setParameter(int32_t index, float value);
    float parameter(int32_t index) const;
    std::string parameterName(int32_t index) const { return text(opGetParameterName, index); }
    std::string parameterText(int32_t index) const { return text(opGetParameterText, index); }

    int32_t program() const { return int32_t(dispatch(opGetProgram)); }
    void setProgram(int32_t number) { dispatch(opSetProgram, 0, number); }
    std::string programName(int32_t number) const { return text(opGetProgramNameAt, number); }
    void setProgramName(const std::string& name);

private:
    using MainEntry = PluginDescriptor* (*)(HostCallback);

    MainEntry main_;
    bool claim_;
    PluginDescriptor* plugin_ = nullptr;
    bool resumed_ = false;
    MidiBatch<64> midi_;
};

// An instance with a library of its own, open: what a host of one plug-in
// needs. Throws LoadError when the library, `main` or the descriptor fails.
class LoadedPlugin : private PluginLibrary, public PluginInstance {
public:
    explicit LoadedPlugin(const std::string& libraryPath);
};

} // namespace voltara::pluginhost
