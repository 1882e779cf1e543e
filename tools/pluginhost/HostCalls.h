#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace voltara::pluginhost {

// The host's side of the calls a plug-in makes through its HostCallback:
// answers them (interface version, time information, event requests and
// display refreshes) and, while asked to, records them. A user may take
// over any call.
class HostCalls {
public:
    struct Call {
        int32_t opcode;
        int32_t index;
        intptr_t value;
        float opt;
    };

    HostCalls() = default;
    ~HostCalls();
    HostCalls(const HostCalls&) = delete;
    HostCalls& operator=(const HostCalls&) = delete;

    // The function to hand the plug-in. It finds this object through the
    // descriptor's hostUser when claimed, through `attach` when not, and,
    // while the plug-in is being made, through an `Opening` on this thread.
    static intptr_t callback(PluginDescriptor* plugin, int32_t opcode, int32_t index, intptr_t value, void* pointer,
                             float opt);

    // While one lives, the calling thread's calls from a plug-in not yet
    // attached come here: around `main` or a plug-in's construction.
    class Opening {
    public:
        explicit Opening(HostCalls& host);
        ~Opening();
        Opening(const Opening&) = delete;
        Opening& operator=(const Opening&) = delete;

    private:
        HostCalls* outer_;
    };

    // Routes the plug-in's calls here: claimed through its hostUser (as a
    // host does), or, so that hostUser stays untouched, as the one host of
    // the process for every plug-in not claimed (a test's). Detached when
    // this goes; the plug-in must not call after.
    void attach(PluginDescriptor* plugin, bool claim);
    void detach();

    // Answers: the version reported, and time information while hasTime.
    intptr_t versionAnswer = 2200;
    bool hasTime = true;
    TimeInfo time{};
    // Takes over the calls a user cares about (capabilities, the file
    // selector, edits, ...); no answer leaves the usual one.
    std::function<std::optional<intptr_t>(const Call& call, void* pointer)> respond;

    // Every call made while recordCalls is set (recording allocates: an
    // audio thread's host leaves it off).
    bool recordCalls = false;
    std::vector<Call> calls;
    int32_t countCalls(int32_t opcode) const;
    std::vector<Call> callsOf(int32_t opcode) const;

private:
    intptr_t answer(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt);

    PluginDescriptor* attached_ = nullptr;
    bool claimed_ = false;
};

} // namespace voltara::pluginhost
