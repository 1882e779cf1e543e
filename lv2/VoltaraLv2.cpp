// The rack as an LV2 plug-in. It is a host of the rack, not a second rack: it
// loads voltara_fx.so from its own bundle, calls main and drives the
// descriptor as any audio host does, so the two can never sound different.

#include "lv2/ControlInputs.h"
#include "lv2/EditorLink.h"
#include "lv2/PortTable.h"
#include "lv2/RackState.h"
#include "plugin/host/LampPacking.h"
#include "plugin/host/PluginDescriptor.h"
#include "plugin/host/VendorCalls.h"
#include "tools/pluginhost/HostTime.h"
#include "tools/pluginhost/MidiBatch.h"
#include "tools/pluginhost/PluginInstance.h"

#include "lv2/atom/atom.h"
#include "lv2/atom/util.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/core/lv2.h"
#include "lv2/core/lv2_util.h"
#include "lv2/log/log.h"
#include "lv2/midi/midi.h"
#include "lv2/options/options.h"
#include "lv2/patch/patch.h"
#include "lv2/state/state.h"
#include "lv2/time/time.h"
#include "lv2/urid/urid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace voltara::lv2 {
namespace {

constexpr const char* rackFileName = "voltara_fx.so";
constexpr uint32_t fallbackBlockLength = 4096; // frames per rack call when the host names no maximum
constexpr uint32_t largestBlockLength = 65536; // frames
constexpr int32_t midiCapacity = 256;          // events handed to the rack at one instant
constexpr uint32_t eventCapacity = 2048;       // bytes of one event read (a chosen path is at most 1 KB)
constexpr double defaultTempo = 120.0;         // beats per minute until the host tells its own

struct Uris {
    LV2_URID atomObject = 0, atomBlank = 0, atomFloat = 0, atomDouble = 0, atomInt = 0, atomLong = 0, atomUrid = 0;
    LV2_URID midiEvent = 0, maxBlockLength = 0;
    LV2_URID patchSet = 0, patchProperty = 0, patchValue = 0, atomPath = 0, bank = 0, contentFolder = 0;
    LV2_URID position = 0, bar = 0, barBeat = 0, beat = 0, beatUnit = 0, beatsPerBar = 0, beatsPerMinute = 0, speed = 0;
};

Uris mapUris(const LV2_URID_Map* map)
{
    const auto id = [map](const char* uri) { return map->map(map->handle, uri); };
    Uris uris;
    uris.atomObject = id(LV2_ATOM__Object);
    uris.atomBlank = id(LV2_ATOM__Blank);
    uris.atomFloat = id(LV2_ATOM__Float);
    uris.atomDouble = id(LV2_ATOM__Double);
    uris.atomInt = id(LV2_ATOM__Int);
    uris.atomLong = id(LV2_ATOM__Long);
    uris.atomUrid = id(LV2_ATOM__URID);
    uris.midiEvent = id(LV2_MIDI__MidiEvent);
    uris.maxBlockLength = id(LV2_BUF_SIZE__maxBlockLength);
    uris.position = id(LV2_TIME__Position);
    uris.bar = id(LV2_TIME__bar);
    uris.barBeat = id(LV2_TIME__barBeat);
    uris.beat = id(LV2_TIME__beat);
    uris.beatUnit = id(LV2_TIME__beatUnit);
    uris.beatsPerBar = id(LV2_TIME__beatsPerBar);
    uris.beatsPerMinute = id(LV2_TIME__beatsPerMinute);
    uris.speed = id(LV2_TIME__speed);
    uris.patchSet = id(LV2_PATCH__Set);
    uris.patchProperty = id(LV2_PATCH__property);
    uris.patchValue = id(LV2_PATCH__value);
    uris.atomPath = id(LV2_ATOM__Path);
    uris.bank = id(bankParameterUri);
    uris.contentFolder = id(contentFolderParameterUri);
    return uris;
}

struct Voltara {
    // First, so that the plug-in's handle is the link its UI reaches through
    // the host's instance access.
    EditorLink link;
    // Without the host's URID map no event can be understood: the plug-in
    // then runs on its controls alone, at its default tempo.
    bool understandsEvents = false;
    Uris uris;
    std::unique_ptr<pluginhost::PluginLibrary> library;
    std::unique_ptr<pluginhost::PluginInstance> rack; // its host answers with the time below
    uint32_t blockLength = fallbackBlockLength;

    const float* in[2] = {};
    float* out[2] = {};
    const LV2_Atom_Sequence* events = nullptr;
    ControlInputs controls;
    float* lamps[lampPortCount] = {};
    std::unique_ptr<RackState> state; // the saved state: every program and the current one

    double speed = 1.0; // the transport's; 0 while stopped
    // MIDI for the rack, gathered in run.
    pluginhost::MidiBatch<midiCapacity> midi;
    // The event being read, 8-byte aligned as LV2's types need: some hosts'
    // sequences are only 4-byte aligned (jalv's, once a UI is declared).
    uint64_t event[eventCapacity / sizeof(uint64_t)] = {};
};

// The rack from the bundle, opened; false when it cannot be loaded.
bool loadRack(Voltara* self, const char* bundlePath)
{
    std::string path = bundlePath;
    if (!path.empty() && path.back() != '/')
        path += '/';
    try {
        self->library = std::make_unique<pluginhost::PluginLibrary>(path + rackFileName);
        self->rack = std::make_unique<pluginhost::PluginInstance>(*self->library);
        return self->rack->open() != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

// The factory bank into the rack's programs, so that MIDI program changes
// select the same programs as the bundle's presets.
void loadFactoryPrograms(Voltara* self)
{
    pluginhost::PluginInstance& rack = *self->rack;
    for (int32_t p = 0; p < factoryProgramCount; ++p) {
        rack.setProgram(p);
        for (uint32_t index = 0; index < controlPortCount; ++index)
            rack.setParameter(int32_t(index), factoryPrograms[p].values[index]);
        rack.dispatch(opSetProgramName, 0, 0, const_cast<char*>(factoryPrograms[p].name));
    }
    rack.setProgram(0);
}

uint32_t hostBlockLength(const LV2_Options_Option* options, const Uris& uris)
{
    for (const LV2_Options_Option* option = options; option != nullptr && option->key != 0; ++option) {
        if (option->key == uris.maxBlockLength && option->type == uris.atomInt && option->size == sizeof(int32_t)) {
            const int32_t frames = *static_cast<const int32_t*>(option->value);
            if (frames > 0)
                return std::min(uint32_t(frames), largestBlockLength);
        }
    }
    return fallbackBlockLength;
}

// [instantiation thread]
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char* bundlePath, const LV2_Feature* const* features)
{
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    const LV2_Log_Log* log = nullptr;
    lv2_features_query(features, LV2_URID__map, &map, false, LV2_OPTIONS__options, &options, false, LV2_LOG__log, &log,
                       false, nullptr);
    auto self = std::unique_ptr<Voltara>(new (std::nothrow) Voltara);
    if (!self)
        return nullptr;
    if (map != nullptr) {
        self->uris = mapUris(map);
        self->understandsEvents = true;
    }
    if (!loadRack(self.get(), bundlePath))
        return nullptr;
    self->link.setRack(*self->rack);
    self->blockLength = hostBlockLength(options, self->uris);
    self->rack->prepare(rate, int32_t(self->blockLength), defaultTempo);
    loadFactoryPrograms(self.get());
    self->state = std::make_unique<RackState>(self->rack->descriptor(), self->controls, map, log, rate);
    return self.release();
}

// [audio thread]
void connectPort(LV2_Handle instance, uint32_t port, void* data)
{
    auto* self = static_cast<Voltara*>(instance);
    if (port == portInLeft || port == portInRight)
        self->in[port - portInLeft] = static_cast<const float*>(data);
    else if (port == portOutLeft || port == portOutRight)
        self->out[port - portOutLeft] = static_cast<float*>(data);
    else if (port == portEvents)
        self->events = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port >= firstControlPort && port < firstLampPort)
        self->controls.connect(port - firstControlPort, static_cast<const float*>(data));
    else if (port >= firstLampPort && port < portCount)
        self->lamps[port - firstLampPort] = static_cast<float*>(data);
}

// [main thread, deactivated]
void activate(LV2_Handle instance)
{
    auto* self = static_cast<Voltara*>(instance);
    pluginhost::PluginInstance& rack = *self->rack;
    rack.time.samplePosition = 0.0;
    rack.time.songPosition = 0.0;
    rack.resume();
    self->state->setActive(true);
}

bool numberOf(const LV2_Atom* atom, const Uris& uris, double& number)
{
    if (atom == nullptr)
        return false;
    if (atom->type == uris.atomFloat)
        number = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    else if (atom->type == uris.atomDouble)
        number = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    else if (atom->type == uris.atomInt)
        number = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    else if (atom->type == uris.atomLong)
        number = double(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    else
        return false;
    return std::isfinite(number);
}

// The host's transport: tempo, and the position in quarter notes from the
// beat count (or bar and beat in bar) in the host's beat unit.
void readPosition(Voltara* self, const LV2_Atom_Object* position)
{
    const Uris& uris = self->uris;
    TimeInfo& time = self->rack->time;
    const LV2_Atom *bpm = nullptr, *beat = nullptr, *bar = nullptr, *barBeat = nullptr, *beatsPerBar = nullptr,
                   *beatUnit = nullptr, *speed = nullptr;
    lv2_atom_object_get(position, uris.beatsPerMinute, &bpm, uris.beat, &beat, uris.bar, &bar, uris.barBeat, &barBeat,
                        uris.beatsPerBar, &beatsPerBar, uris.beatUnit, &beatUnit, uris.speed, &speed, 0);
    double value = 0.0, unit = 4.0, barCount = 0.0, inBar = 0.0, perBar = 0.0;
    if (numberOf(bpm, uris, value) && value > 0.0)
        time.tempo = value;
    if (numberOf(speed, uris, value))
        self->speed = value;
    if (numberOf(beatUnit, uris, value) && value > 0.0)
        unit = value;
    if (numberOf(beat, uris, value))
        time.songPosition = value * 4.0 / unit;
    else if (numberOf(bar, uris, barCount) && numberOf(barBeat, uris, inBar) && numberOf(beatsPerBar, uris, perBar))
        time.songPosition = (barCount * perBar + inBar) * 4.0 / unit;
}

// A path the host chose for the UI's request: the UI takes it at its next idle.
void passChosenPath(Voltara* self, const LV2_Atom_Object* set)
{
    const Uris& uris = self->uris;
    const LV2_Atom *property = nullptr, *value = nullptr;
    lv2_atom_object_get(set, uris.patchProperty, &property, uris.patchValue, &value, 0);
    if (!property || property->type != self->uris.atomUrid || !value || value->type != uris.atomPath)
        return;
    const LV2_URID key = reinterpret_cast<const LV2_Atom_URID*>(property)->body;
    const auto what = key == uris.bank            ? EditorLink::Chosen::bank
                      : key == uris.contentFolder ? EditorLink::Chosen::contentFolder
                                                  : EditorLink::Chosen::nothing;
    // A path atom holds its text with the terminating zero.
    const auto* text = static_cast<const char*>(LV2_ATOM_BODY_CONST(value));
    if (what != EditorLink::Chosen::nothing && value->size > 0)
        self->link.post(what, text, uint32_t(strnlen(text, value->size)));
}

void queueMidi(Voltara* self, const LV2_Atom* event)
{
    const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(event));
    if (event->size == 0 || event->size > 3 || bytes[0] < 0x80 || bytes[0] >= 0xf0)
        return; // the rack acts on channel messages only
    if (self->midi.full())
        self->midi.send(self->rack->descriptor());
    self->midi.add(bytes[0], event->size > 1 ? bytes[1] : 0, event->size > 2 ? bytes[2] : 0);
}

// Frames from..to through the rack, after the MIDI due at from, in calls of
// at most the block length given to the rack.
void render(Voltara* self, uint32_t from, uint32_t to)
{
    self->midi.send(self->rack->descriptor());
    for (uint32_t start = from; start < to;) {
        const uint32_t frames = std::min(to - start, self->blockLength);
        float* inputs[2] = {const_cast<float*>(self->in[0] + start), const_cast<float*>(self->in[1] + start)};
        float* outputs[2] = {self->out[0] + start, self->out[1] + start};
        self->rack->process(inputs, outputs, int32_t(frames), self->speed);
        start += frames;
    }
}

// [audio thread, activated] No allocation, lock or file access from here on.
void run(LV2_Handle instance, uint32_t frames)
{
    auto* self = static_cast<Voltara*>(instance);
    if (!self->in[0] || !self->in[1] || !self->out[0] || !self->out[1])
        return;
    self->state->takeRestored();
    self->controls.send(self->rack->descriptor(), frames, self->link.edits);
    uint32_t done = 0;
    if (self->events != nullptr && self->understandsEvents) {
        // The sequence's header has 4-byte fields only; its events are copied
        // before they are read.
        const auto* sequence = reinterpret_cast<const uint8_t*>(self->events) + sizeof(LV2_Atom_Sequence);
        const uint64_t length = self->events->atom.size >= sizeof(LV2_Atom_Sequence_Body)
                                    ? self->events->atom.size - sizeof(LV2_Atom_Sequence_Body)
                                    : 0;
        auto* event = reinterpret_cast<LV2_Atom_Event*>(self->event);
        for (uint64_t offset = 0; offset + sizeof(LV2_Atom_Event) <= length;) {
            std::memcpy(event, sequence + offset, sizeof(LV2_Atom_Event));
            const uint64_t size = event->body.size;
            const uint64_t bodyAt = offset + sizeof(LV2_Atom_Event);
            offset = bodyAt + (size + 7) / 8 * 8; // events start on 8-byte boundaries of the sequence
            if (bodyAt + size > length || sizeof(LV2_Atom_Event) + size > eventCapacity)
                continue; // cut short, or larger than anything the rack takes
            std::memcpy(event + 1, sequence + bodyAt, size);
            // Each event takes effect at its own frame.
            const uint32_t at = uint32_t(std::clamp<int64_t>(event->time.frames, done, frames));
            render(self, done, at);
            done = at;
            if (event->body.type == self->uris.midiEvent) {
                queueMidi(self, &event->body);
            } else if (event->body.type == self->uris.atomObject || event->body.type == self->uris.atomBlank) {
                const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
                if (object->body.otype == self->uris.position)
                    readPosition(self, object);
                else if (object->body.otype == self->uris.patchSet)
                    passChosenPath(self, object);
            }
        }
    }
    render(self, done, frames);

    const int32_t packed = int32_t(self->rack->dispatch(opVendorCall, VendorCall::lamps));
    for (uint32_t i = 0; i < lampPortCount; ++i) {
        if (self->lamps[i] != nullptr)
            *self->lamps[i] = float(LampPacking::lamp(packed, LampPacking::places[lampPlace[i]]));
    }
}

// [main thread, activated]
void deactivate(LV2_Handle instance)
{
    auto* self = static_cast<Voltara*>(instance);
    self->state->setActive(false);
    self->rack->suspend();
}

// [main thread, deactivated]
void cleanup(LV2_Handle instance)
{
    delete static_cast<Voltara*>(instance); // closes the rack, then frees its library
}

// [any thread, also during run]
LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*)
{
    return static_cast<Voltara*>(instance)->state->save(store, handle);
}

// [main thread; while active also during run]
LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                         const LV2_Feature* const* features)
{
    return static_cast<Voltara*>(instance)->state->restore(retrieve, handle, features);
}

const LV2_State_Interface stateInterface = {save, restore};

// [any thread]
const void* extensionData(const char* uri)
{
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &stateInterface : nullptr;
}

const LV2_Descriptor descriptor = {pluginUri, instantiate, connectPort, activate,
                                   run,       deactivate,  cleanup,     extensionData};

} // namespace
} // namespace voltara::lv2

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &voltara::lv2::descriptor : nullptr;
}
