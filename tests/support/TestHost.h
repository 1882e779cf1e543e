#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace voltara::test {

// One MIDI message delivered through the dispatcher, as a host delivers it.
void sendMidi(PluginDescriptor* descriptor, uint8_t status, uint8_t data1, uint8_t data2);

// A host as a test needs one: loads the plug-in library with dlopen, calls its
// `main` with a callback that records every host call, and drives the
// instance only through the descriptor.
class TestHost {
public:
    struct Call {
        int32_t opcode;
        int32_t index;
        intptr_t value;
        float opt;
    };

    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Calls `main`; null when the plug-in refused.
    PluginDescriptor* open();
    // opClose; answers what the plug-in answered (0 when nothing was open).
    intptr_t close();
    PluginDescriptor* descriptor() const { return descriptor_; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr, float opt = 0.0f);
    std::string text(int32_t opcode, int32_t index);
    void setParameter(int32_t index, float value);
    float getParameter(int32_t index);
    void start(float sampleRate, int32_t blockSize);
    // Stereo processing of planar buffers in place of a host's own.
    void process(std::vector<float>& left, std::vector<float>& right, bool accumulate,
                 std::vector<float>* outLeft = nullptr, std::vector<float>* outRight = nullptr);
    void sendMidi(uint8_t status, uint8_t data1, uint8_t data2);

    // What the host answers.
    intptr_t versionAnswer = 2400;
    // Answers the calls a test cares about (capabilities, the file
    // selector, ...); no answer leaves the host's own.
    std::function<std::optional<intptr_t>(int32_t opcode, void* pointer)> respond;
    bool hasTime = true;
    TimeInfo time{};

    // Every call the plug-in made while recordCalls is set (the recording
    // itself allocates).
    std::vector<Call> calls;
    bool recordCalls = true;
    int32_t countCalls(int32_t opcode) const;

    using MainEntry = PluginDescriptor* (*)(HostCallback);
    MainEntry mainEntry() const { return main_; }
    // Another export of the library, such as FIO_InitPlugin; null when absent.
    void* symbol(const char* name) const;
    static TestHost* current();

private:
    static intptr_t callback(PluginDescriptor*, int32_t opcode, int32_t index, intptr_t value, void* pointer,
                             float opt);

    void* library_ = nullptr;
    MainEntry main_ = nullptr;
    PluginDescriptor* descriptor_ = nullptr;
};

} // namespace voltara::test
