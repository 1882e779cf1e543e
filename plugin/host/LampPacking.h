#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <cstdint>

namespace voltara {

// The modulation lamps as the rack packs them for its editor and for hosts:
// three bits per module, 0 while the module is off, else its lamp 1 .. 7.
// Hosts read them through VendorCall::lamps.
namespace LampPacking {

struct Place {
    int32_t slot;  // the module's parameter group
    int32_t shift; // bits
};

// Filter, Phaser, Flanger, Chorus, Tremolo, Wah.
constexpr Place places[] = {{2, 0}, {3, 3}, {4, 6}, {5, 9}, {8, 12}, {1, 15}};
constexpr int32_t lampMask = 7;

constexpr int32_t lamp(int32_t packed, const Place& place)
{
    return (packed >> place.shift) & lampMask;
}

} // namespace LampPacking
} // namespace voltara
