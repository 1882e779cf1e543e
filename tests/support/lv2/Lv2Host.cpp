#include "tests/support/lv2/Lv2Host.h"

#include "lv2/EditorLink.h"
#include "lv2/atom/forge.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/core/lv2.h"
#include "lv2/midi/midi.h"
#include "lv2/options/options.h"
#include "lv2/patch/patch.h"
#include "lv2/time/time.h"
#include "lv2/urid/urid.h"

#include <dlfcn.h>
#include <stdexcept>
#include <vector>

namespace voltara::test {

struct Lv2Host::State {
    // One event of the next run.
    struct Event {
        enum class Kind { midi, position, path } kind;
        uint32_t frame;
        uint8_t bytes[3];
        float beatsPerMinute;
        double beat;
        float speed;
        LV2_URID property; // of a path
        std::string path;
    };

    std::vector<std::string> uris;
    LV2_URID_Map map{this, &State::mapUri};
    int32_t maxBlockLength = 0;
    LV2_Options_Option options[2] = {};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    const LV2_Feature* features[3] = {&mapFeature, &optionsFeature, nullptr};
    const LV2_Feature* noFeatures[1] = {nullptr};

    void* library = nullptr;
    const LV2_Descriptor* descriptor = nullptr;
    LV2_Handle instance = nullptr;
    bool active = false;
    float controls[lv2::portCount] = {};
    const float* connected[4] = {};

    std::vector<Event> events;
    LV2_Atom_Forge forge;
    std::vector<uint64_t> sequence = std::vector<uint64_t>(8192); // 64 KiB, 8-byte aligned
    uint32_t sequenceOffset = 0;
    uint8_t* sequenceStart() { return reinterpret_cast<uint8_t*>(sequence.data()) + sequenceOffset; }

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
    {
        auto& uris = static_cast<State*>(handle)->uris;
        for (std::size_t i = 0; i < uris.size(); ++i) {
            if (uris[i] == uri)
                return LV2_URID(i + 1);
        }
        uris.push_back(uri);
        return LV2_URID(uris.size());
    }
    LV2_URID urid(const char* uri) { return mapUri(this, uri); }

    void connect(uint32_t port, const float* buffer)
    {
        if (connected[port] != buffer) {
            descriptor->connect_port(instance, port, const_cast<float*>(buffer));
            connected[port] = buffer;
        }
    }

    void writeEvents()
    {
        lv2_atom_forge_set_buffer(&forge, sequenceStart(), sequence.size() * sizeof(uint64_t) - sequenceOffset);
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
        for (const Event& event : events) {
            lv2_atom_forge_frame_time(&forge, event.frame);
            LV2_Atom_Forge_Frame object;
            if (event.kind == Event::Kind::midi) {
                lv2_atom_forge_atom(&forge, 3, urid(LV2_MIDI__MidiEvent));
                lv2_atom_forge_write(&forge, event.bytes, 3);
                continue;
            }
            if (event.kind == Event::Kind::path) {
                lv2_atom_forge_object(&forge, &object, 0, urid(LV2_PATCH__Set));
                lv2_atom_forge_key(&forge, urid(LV2_PATCH__property));
                lv2_atom_forge_urid(&forge, event.property);
                lv2_atom_forge_key(&forge, urid(LV2_PATCH__value));
                lv2_atom_forge_path(&forge, event.path.c_str(), uint32_t(event.path.size() + 1));
                lv2_atom_forge_pop(&forge, &object);
                continue;
            }
            lv2_atom_forge_object(&forge, &object, 0, urid(LV2_TIME__Position));
            lv2_atom_forge_key(&forge, urid(LV2_TIME__beatsPerMinute));
            lv2_atom_forge_float(&forge, event.beatsPerMinute);
            lv2_atom_forge_key(&forge, urid(LV2_TIME__beat));
            lv2_atom_forge_double(&forge, event.beat);
            lv2_atom_forge_key(&forge, urid(LV2_TIME__speed));
            lv2_atom_forge_float(&forge, event.speed);
            lv2_atom_forge_pop(&forge, &object);
        }
        lv2_atom_forge_pop(&forge, &frame);
        events.clear();
    }
};

Lv2Host::Lv2Host(const std::string& bundleFolder, const std::string& binaryPath, const Setup& setup)
    : state_(std::make_unique<State>())
{
    State& s = *state_;
    s.maxBlockLength = setup.maxBlockLength;
    s.sequenceOffset = setup.sequenceOffset;
    s.options[0] = {
        LV2_OPTIONS_INSTANCE, 0, s.urid(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), s.urid(LV2_ATOM__Int),
        &s.maxBlockLength};
    lv2_atom_forge_init(&s.forge, &s.map);
    s.library = dlopen(binaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (s.library == nullptr)
        throw std::runtime_error(std::string("cannot load the LV2 binary: ") + dlerror());
    const auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(s.library, "lv2_descriptor"));
    s.descriptor = entry != nullptr ? entry(0) : nullptr;
    if (s.descriptor != nullptr)
        s.instance = s.descriptor->instantiate(s.descriptor, setup.sampleRate, bundleFolder.c_str(),
                                               setup.features ? s.features : s.noFeatures);
    if (s.instance == nullptr) {
        dlclose(s.library);
        throw std::runtime_error("the LV2 plug-in does not instantiate");
    }
    for (uint32_t port = lv2::firstControlPort; port < lv2::portCount; ++port)
        s.descriptor->connect_port(s.instance, port, &s.controls[port]);
    if (setup.features)
        s.descriptor->connect_port(s.instance, lv2::portEvents, s.sequenceStart());
}

Lv2Host::~Lv2Host()
{
    deactivate();
    state_->descriptor->cleanup(state_->instance);
    dlclose(state_->library);
}

float& Lv2Host::control(uint32_t port)
{
    return state_->controls[port];
}

void Lv2Host::activate()
{
    if (!state_->active && state_->descriptor->activate)
        state_->descriptor->activate(state_->instance);
    state_->active = true;
}

void Lv2Host::deactivate()
{
    if (state_->active && state_->descriptor->deactivate)
        state_->descriptor->deactivate(state_->instance);
    state_->active = false;
}

void Lv2Host::midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    state_->events.push_back({State::Event::Kind::midi, frame, {status, data1, data2}, 0.0f, 0.0, 0.0f, 0, {}});
}

void Lv2Host::position(uint32_t frame, float beatsPerMinute, double beat, float speed)
{
    state_->events.push_back({State::Event::Kind::position, frame, {}, beatsPerMinute, beat, speed, 0, {}});
}

void Lv2Host::setPath(const char* property, const std::string& path)
{
    state_->events.push_back({State::Event::Kind::path, 0, {}, 0.0f, 0.0, 0.0f, state_->urid(property), path});
}

void* Lv2Host::instance() const
{
    return state_->instance;
}

LV2_URID_Map* Lv2Host::map() const
{
    return &state_->map;
}

uint32_t Lv2Host::urid(const char* uri)
{
    return state_->urid(uri);
}

float Lv2Host::rackParameter(int32_t index) const
{
    return static_cast<lv2::EditorLink*>(state_->instance)->rack().parameter(index);
}

void Lv2Host::run(const float* left, const float* right, float* outLeft, float* outRight, uint32_t frames)
{
    State& s = *state_;
    s.connect(lv2::portInLeft, left);
    s.connect(lv2::portInRight, right);
    s.connect(lv2::portOutLeft, outLeft);
    s.connect(lv2::portOutRight, outRight);
    s.writeEvents();
    s.descriptor->run(s.instance, frames);
}

} // namespace voltara::test
