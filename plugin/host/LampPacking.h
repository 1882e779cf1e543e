#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <cstdint>

namespace voltara {

// The modulation lamps as the rack packs them for its editor and for hosts:
// three bits per module, 0 while the module is off, else its lamp 1 .. 7.
namespace LampPacking {

struct Place {
    int32_t slot;  // the module's parameter group
    int32_t shift; // bits
};

// Filter, Phaser, Flanger, Chorus, Tremolo, Wah.
constexpr Place places[] = {{2, 0}, {3, 3}, {4, 6}, {5, 9}, {8, 12}, {1, 15}};
constexpr int32_t lampMask = 7;

// opVendorCall with this index answers the packed lamps; read-only, for hosts
// that show the lamps beside their own controls.
constexpr int32_t vendorQuery = fourCharCode('L', 'a', 'm', 'p');

constexpr int32_t lamp(int32_t packed, const Place& place)
{
    return (packed >> place.shift) & lampMask;
}

} // namespace LampPacking
} // namespace voltara
