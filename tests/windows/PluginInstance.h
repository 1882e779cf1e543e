#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

namespace voltara::winhost {

// The plug-in DLL, loaded with LoadLibrary as an audio host loads it.
class PluginDll {
public:
    explicit PluginDll(const std::string& path);
    ~PluginDll();
    PluginDll(const PluginDll&) = delete;
    PluginDll& operator=(const PluginDll&) = delete;

    HMODULE module() const { return module_; }

    // GetProcAddress as the entry's own type; null when the DLL is not
    // loaded or lacks the entry.
    template <typename Entry>
    Entry entry(const char* name) const
    {
        // Through the generic function type, which any function type converts from.
        return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(find(name)));
    }

private:
    FARPROC find(const char* name) const;
    HMODULE module_ = nullptr;
};

// One instance from the DLL's `main`, driven only through its descriptor. The
// host callback answers as an audio host does (version, time information,
// event requests) and records every call.
class PluginInstance {
public:
    struct Call {
        int32_t opcode;
        int32_t index;
        intptr_t value;
        float opt;
    };

    explicit PluginInstance(const PluginDll& dll);
    // Suspends and closes the instance.
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Null when `main` is missing or refused.
    PluginDescriptor* descriptor() const { return plugin_; }
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr, float opt = 0.0f);
    // A text the plug-in writes into a buffer: names, labels.
    std::string text(int32_t opcode, int32_t index = 0);

    // Before audio: rate in Hz, frames per call at most, tempo in beats per
    // minute; the song position starts at 0 and advances with every block.
    void prepare(double sampleRate, int32_t blockSize, double tempo);
    void resume();
    void process(float** inputs, float** outputs, int32_t frames);

    std::vector<Call> calls;
    int count(int32_t opcode) const;
    // Answers the host calls a check takes over (the file selector, questions
    // of capability); nothing leaves the usual answer.
    std::function<std::optional<intptr_t>(int32_t opcode, void* pointer)> takeOver;

private:
    static intptr_t callback(PluginDescriptor* descriptor, int32_t opcode, int32_t index, intptr_t value, void* pointer,
                             float opt);
    intptr_t answer(int32_t opcode, void* pointer);

    PluginDescriptor* plugin_ = nullptr;
    TimeInfo time_{};
};

} // namespace voltara::winhost
