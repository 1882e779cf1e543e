#include "plugin/BankFormat.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace voltara::BankFormat {

namespace {

// The checksums of 'KRfx' and of the second identifier accepted.
constexpr int32_t rackChecksum = 22357;
constexpr int32_t legacyChecksum = 10345;

// Besides every module's on switch: the sync switches and the two mode switches.
const int32_t otherSwitches[] = {
    parameterIndex(slotWah, WahModule::syncSwitch),         parameterIndex(slotFilter, FilterModule::modeSwitch),
    parameterIndex(slotPhaser, PhaserModule::syncSwitch),   parameterIndex(slotFlanger, FlangerModule::syncSwitch),
    parameterIndex(slotChorus, ChorusModule::modeSwitch),   parameterIndex(slotDelay, DelayModule::syncSwitch),
    parameterIndex(slotTremolo, TremoloModule::syncSwitch),
};

} // namespace

bool isOurIdentifier(const uint8_t* identifier)
{
    const auto byte = [identifier](int i) { return static_cast<int32_t>(static_cast<int8_t>(identifier[i])); };
    const int32_t checksum = byte(0) + byte(1) + 100 * (byte(2) + byte(3));
    return checksum == rackChecksum || checksum == legacyChecksum;
}

bool roundsToSwitch(int32_t index)
{
    if (index >= firstModuleIndex && index < rackParameterCount && slotOf(index) == FxModule::onSwitch)
        return true;
    return std::find(std::begin(otherSwitches), std::end(otherSwitches), index) != std::end(otherSwitches);
}

float loadedValue(int32_t index, float stored)
{
    if (index < firstLoadedIndex || !std::isfinite(stored))
        return 0.0f; // a value that is not finite would poison every module it reaches
    if (roundsToSwitch(index))
        return FxModule::switchIsOn(stored) ? 1.0f : 0.0f;
    return limitedParameter(stored);
}

void loadedName(const char* stored, size_t storedLength, char (&name)[programNameSize])
{
    std::fill(std::begin(name), std::end(name), '\0');
    for (size_t i = 0; i < programNameSize - 1 && i < storedLength && stored[i] != '\0'; ++i)
        name[i] = stored[i] == '&' ? '+' : stored[i];
}

} // namespace voltara::BankFormat
