#pragma once

#include "plugin/host/PluginDescriptor.h"
#include "tools/pluginhost/PluginInstance.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voltara::test {

// A host as a test needs one: the plug-in library of this build, an instance
// opened on demand that records every host call, and the descriptor's
// hostUser left to the plug-in (which must never touch it).
class TestHost : private pluginhost::PluginLibrary, public pluginhost::PluginInstance {
public:
    TestHost();

    // A text written into a buffer that holds "(untouched)" before the call.
    std::string text(int32_t opcode, int32_t index);
    float getParameter(int32_t index) { return parameter(index); }
    // Rate and block size, then resume.
    void start(float sampleRate, int32_t blockSize);
    // Stereo processing of planar buffers in place of a host's own.
    void process(std::vector<float>& left, std::vector<float>& right, bool accumulate,
                 std::vector<float>* outLeft = nullptr, std::vector<float>* outRight = nullptr);
    void sendMidi(uint8_t status, uint8_t data1, uint8_t data2);

    using MainEntry = PluginDescriptor* (*)(HostCallback);
    MainEntry mainEntry() const { return entry<MainEntry>("main"); }
    // Another export of the library, such as FIO_InitPlugin; null when absent.
    void* symbol(const char* name) const { return reinterpret_cast<void*>(entry<platform::ProcAddress>(name)); }
};

} // namespace voltara::test
