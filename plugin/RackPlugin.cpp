#include "plugin/RackPlugin.h"

#include "effects/ChorusModule.h"
#include "effects/DelayModule.h"
#include "effects/FilterModule.h"
#include "effects/FlangerModule.h"
#include "effects/GuitarToneModule.h"
#include "effects/PhaserModule.h"
#include "effects/ReverbModule.h"
#include "effects/TremoloModule.h"
#include "effects/WahModule.h"
#include "plugin/BankReader.h"

#include <cstdlib>
#include <ctime>
#include <new>

// The rack's construction. Its operations live beside it by topic:
// RackPluginParameters.cpp (parameters and MIDI), RackPluginAudio.cpp (the
// audio chain), RackPluginPrograms.cpp (programs, banks and the content
// folder) and RackPluginIdentity.cpp (what the rack tells the host about
// itself).

namespace voltara {

std::unique_ptr<FxModule> RackPlugin::createRackModule(int32_t slot)
{
    switch (slot) {
    case slotGuitarTone: return std::make_unique<GuitarToneModule>();
    case slotWah: return std::make_unique<WahModule>();
    case slotFilter: return std::make_unique<FilterModule>();
    case slotPhaser: return std::make_unique<PhaserModule>();
    case slotFlanger: return std::make_unique<FlangerModule>();
    case slotChorus: return std::make_unique<ChorusModule>();
    case slotDelay: return std::make_unique<DelayModule>();
    case slotReverb: return std::make_unique<ReverbModule>();
    case slotTremolo: return std::make_unique<TremoloModule>();
    default: return nullptr;
    }
}

RackPlugin::RackPlugin(HostCallback host, ModuleFactory factory)
    : EffectBaseEx(host, rackProgramCount, rackParameterCount)
{
    for (int32_t slot = 0; slot < moduleSlotCount; ++slot) {
        modules_[slot] = factory(slot);
        if (!modules_[slot])
            throw std::bad_alloc();
    }
    bankBuffer_ = std::make_unique<uint8_t[]>(BankReader::bufferSize);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    // The modules' own defaults become every program's initial values.
    for (int32_t slot = 0; slot < moduleSlotCount; ++slot) {
        for (int32_t sub = 1; sub < FxModule::slotCount; ++sub) {
            const int32_t index = parameterIndex(slot, sub);
            setParameter(index, modules_[slot]->getParameter(sub));
            for (int32_t p = 1; p < rackProgramCount; ++p)
                programs_[p].values[index] = programs_[0].values[index].load();
        }
    }

    programs_[0].setName("default.fxb not found!");
    initContent();

    if (hasHost()) {
        setInputCount(2);
        setOutputCount(2);
        setFlagBit1(false);
        setFlagBit2(false);
        setFlagBit3(true);
        setFlagBit4(true);
        notifyHost14();
        setUniqueId(fourCharCode('K', 'R', 'f', 'x'));
    }
    setProgram(0);
    suspend();
}

RackPlugin::~RackPlugin() = default;

} // namespace voltara
