#include "plugin/RackPlugin.h"

#include "plugin/host/HostEditor.h"

#include <cmath>
#include <cstring>
#include <iterator>

namespace voltara {

namespace {

const char* const parameterNames[rackParameterCount] = {
    "Bypass",  ".",          ".",        ".",         ".",         ".",          ".",          ".",
    "WAH On",  "WAH Sync",   "WAH Rate", "WAH Reso",  "WAH Pedal", "WAH Max F",  "WAH Dirt",   ".",
    "FIL On",  "FIL Thresh", "FIL Reso", "FIL Mode",  "Fil Min F", "FIL Max F",  ".",          ".",
    "PHS On",  "PHS Sync",   "PHS Rate", "PHS Color", ".",         "PHS Phase",  "PHS Stereo", ".",
    "FLA On",  "FLA Sync",   "FLA Rate", "FLA Fbk",   "FLA Mix",   "FLA Depth",  "FLA Delay",  ".",
    "CHO On)", "CHO Mode",   "CHO Rate", "CHO Depth", "CHO Fbk",   ".",          ".",          ".",
    "DEL On",  "DEL Sync",   "DEL Time", "DEL Mode",  "DEL Fbk",   "DEL Char",   "DEL Mix",    ".",
    "REV On",  "REV Time",   "REV Mode", "REV Mix",   ".",         ".",          ".",          "REV Pre Mod",
    "TRM On",  "TRM Sync",   "TRM Rate", "TRM Depth", "TRM Width", "TRM Smooth", ".",          ".",
};

bool isParameter(int32_t index)
{
    return index >= 0 && index < rackParameterCount;
}

// MIDI controllers that move the wah pedal.
constexpr uint8_t modulationWheel = 1;
constexpr uint8_t footController = 4;

// MIDI controllers 85 to 95 and the parameter each one drives.
constexpr uint8_t firstTableController = 85;
struct ControllerTarget {
    int32_t index;
    bool isSwitch;
};
const ControllerTarget controllerTargets[] = {
    {bypassIndex, true},
    {onSwitchIndex(slotWah), true},
    {onSwitchIndex(slotFilter), true},
    {onSwitchIndex(slotDelay), true},
    {parameterIndex(slotDelay, DelayModule::mixKnob), false},
    {onSwitchIndex(slotReverb), true},
    {parameterIndex(slotReverb, ReverbModule::mixKnob), false},
    {onSwitchIndex(slotTremolo), true},
    {onSwitchIndex(slotChorus), true},
    {onSwitchIndex(slotFlanger), true},
    {onSwitchIndex(slotPhaser), true},
};
constexpr uint8_t lastTableController = firstTableController + std::size(controllerTargets) - 1;

constexpr float pedalScale = 0.007874f;       // about 1/127
constexpr float controllerScale = 0.0079366f; // about 1/126

} // namespace

void RackPlugin::setParameter(int32_t index, float value)
{
    if (isParameter(index) && std::isfinite(value)) {
        value = limitedParameter(value);
        if (index == bypassIndex) {
            for (ProgramRecord& record : programs_)
                record.values[bypassIndex] = value;
        } else {
            programs_[currentProgram_.load()].values[index] = value;
        }
        applyParameter(index, value);
    }
    if (editor_)
        editor_->requestRefresh();
}

void RackPlugin::applyParameter(int32_t index, float value)
{
    values_[index] = value;
    if (index >= firstModuleIndex)
        modules_[moduleOf(index)]->setParameter(slotOf(index), value);
}

float RackPlugin::getParameter(int32_t index)
{
    return isParameter(index) ? values_[index].load() : 0.0f;
}

// The host records the value the rack keeps.
void RackPlugin::setParameterAndNotify(int32_t index, float value)
{
    EffectBaseEx::setParameterAndNotify(index, limitedParameter(value));
}

void RackPlugin::getParameterUnit(int32_t, char* text)
{
    text[0] = '\0';
}

void RackPlugin::getParameterText(int32_t index, char* text)
{
    text[0] = '\0';
    if (index == bypassIndex)
        std::strcpy(text, FxModule::switchIsOn(values_[bypassIndex]) ? "FX OFF" : "FX ON");
    else if (index >= firstModuleIndex && index < rackParameterCount)
        modules_[moduleOf(index)]->getParameterText(slotOf(index), text);
}

void RackPlugin::getParameterName(int32_t index, char* text)
{
    std::strcpy(text, isParameter(index) ? parameterNames[index] : ".");
}

int32_t RackPlugin::handleEvents(MidiEventList* list)
{
    for (int32_t i = 0; i < list->count; ++i) {
        MidiEvent* event = list->event(i);
        if (!event || event->type != midiEventType)
            continue;
        // Data bytes carry seven bits; a host's stray top bit is dropped.
        const uint8_t kind = event->data[0] & 0xf0;
        const uint8_t first = event->data[1] & 0x7f;
        const uint8_t second = event->data[2] & 0x7f;
        if (kind == 0x90 && second == 0) {
            event->data[0] = static_cast<uint8_t>(0x80 | (event->data[0] & 0x0f));
        } else if (kind == 0xb0) {
            if (first == modulationWheel || first == footController) {
                setParameterAndNotify(wahPedalIndex, second * pedalScale);
            } else if (first >= firstTableController && first <= lastTableController && second != 0) {
                const ControllerTarget& target = controllerTargets[first - firstTableController];
                const int32_t v = target.isSwitch && second < 64 ? 1 : second;
                setParameterAndNotify(target.index, (v - 1) * controllerScale);
            }
        } else if (kind == 0xc0 && first < rackProgramCount) {
            // This may be the audio thread: the editor re-reads its controls
            // at its next idle, on its own thread.
            loadProgram(first);
            if (editor_)
                editor_->requestRefreshAll();
            refreshHost();
        }
    }
    return 1;
}

} // namespace voltara
