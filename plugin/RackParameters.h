#pragma once

#include "effects/ChorusModule.h"
#include "effects/DelayModule.h"
#include "effects/FilterModule.h"
#include "effects/FlangerModule.h"
#include "effects/FxModule.h"
#include "effects/PhaserModule.h"
#include "effects/ReverbModule.h"
#include "effects/TremoloModule.h"
#include "effects/WahModule.h"

#include <algorithm>
#include <cstdint>

// The rack's parameter index space: nine groups of eight, one per module, and
// the indices the rack itself treats specially.
namespace voltara {

// The module of each group of eight parameters.
enum ModuleSlot : int32_t {
    slotGuitarTone = 0,
    slotWah,
    slotFilter,
    slotPhaser,
    slotFlanger,
    slotChorus,
    slotDelay,
    slotReverb,
    slotTremolo,
    moduleSlotCount
};

constexpr int32_t rackParameterCount = moduleSlotCount * FxModule::slotCount;

// The index of a module's slot, and back.
constexpr int32_t parameterIndex(int32_t module, int32_t slot)
{
    return FxModule::slotCount * module + slot;
}

constexpr int32_t moduleOf(int32_t index)
{
    return index / FxModule::slotCount;
}

constexpr int32_t slotOf(int32_t index)
{
    return index % FxModule::slotCount;
}

// Every module's slot 0 is its on switch.
constexpr int32_t onSwitchIndex(int32_t module)
{
    return parameterIndex(module, FxModule::onSwitch);
}

// The global Bypass takes the tone group's on switch, shared by all programs.
constexpr int32_t bypassIndex = onSwitchIndex(slotGuitarTone);
// The first index handed to a module; the tone group below it only holds values.
constexpr int32_t firstModuleIndex = parameterIndex(slotWah, 0);
// What MIDI controllers 1 and 4 move.
constexpr int32_t wahPedalIndex = parameterIndex(slotWah, WahModule::pedalKnob);
// Above 0.5 the reverb runs right after the filter, otherwise after the delay.
constexpr int32_t reverbPositionIndex = parameterIndex(slotReverb, ReverbModule::positionSwitch);

// The rack's values are 0 .. 1. Whatever enters from outside (the host, bank
// files, MIDI, the editor) is limited to that where it enters and stored
// limited, so that what a host reads back is what the modules use. Not a
// number stays not a number: each entry has its own rule for it.
inline float limitedParameter(float value)
{
    return std::min(std::max(value, 0.0f), 1.0f);
}

static_assert(rackParameterCount == 72 && wahPedalIndex == 12 && reverbPositionIndex == 63, "the host's index space");

} // namespace voltara
