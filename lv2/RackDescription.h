#pragma once

#include "lv2/PortTable.h"
#include "tools/voltara/banks/Bank.h"

#include <array>
#include <string>
#include <vector>

namespace voltara {

namespace pluginhost {
class PluginInstance;
}

namespace lv2 {

// What the LV2 bundle says about the rack, read from a loaded plug-in through
// its descriptor after the factory bank has been put into its programs.
struct RackDescription {
    enum class Kind {
        continuous,
        toggle,   // two display texts, flipping just above 0.5
        selector, // a few texts without digits, one after the other
    };
    // One text of a selector and the smallest value that shows it.
    struct ScalePoint {
        std::string label;
        float value;
    };
    struct Control {
        int32_t parameter;
        std::string name; // the rack's, or a neutral one for an unnamed index
        std::string symbol;
        bool named;
        float defaultValue; // factory program 0
        Kind kind;
        std::vector<ScalePoint> scalePoints; // selectors only
    };
    struct Lamp {
        int32_t place; // entry of LampPacking::places
        std::string name;
        std::string symbol;
    };
    struct Program {
        std::string name;
        std::array<float, bankParameterCount> values;
    };

    std::string effectName;
    std::string vendorName;
    int32_t vendorVersion = 0;
    std::vector<Control> controls; // port order: named indices, then the others
    std::vector<Lamp> lamps;       // in chain order
    std::vector<Program> programs;

    // Fills the host's programs from bank, then reads everything back.
    static RackDescription read(pluginhost::PluginInstance& host, const Bank& bank);
};

} // namespace lv2
} // namespace voltara
