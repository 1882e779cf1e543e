#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace voltara::pluginhost {

// The user's place in the rack: every program, name and values, and which
// one is current. Hosts keep it between sessions in its text form
// (RackSessionText); it moves in and out of a running rack through the
// descriptor alone.
struct RackSession {
    static constexpr int32_t programCount = 32;
    static constexpr int32_t parameterCount = 72;
    static constexpr std::size_t nameLimit = 23; // characters of a name the rack keeps

    struct Program {
        std::string name;
        std::array<float, parameterCount> values{}; // 0 .. 1 each, by parameter index
    };

    std::array<Program, programCount> programs;
    int32_t current = 0; // 0 .. 31

    // [any thread] The plug-in's session, read without changing what it
    // plays; none when it does not answer VendorCall::programValues.
    static std::optional<RackSession> capture(PluginDescriptor* plugin);

    // Puts the session into the plug-in; for what it plays, one program
    // change. Allocates nothing and waits for nothing, so that an audio
    // thread may apply it between two blocks.
    void applyTo(PluginDescriptor* plugin) const;
};

} // namespace voltara::pluginhost
