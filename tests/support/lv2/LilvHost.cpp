#include "tests/support/lv2/LilvHost.h"

#include "lv2/atom/forge.h"
#include "lv2/core/lv2.h"
#include "lv2/midi/midi.h"
#include "lv2/state/state.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace voltara::test {
namespace {

struct Node {
    explicit Node(LilvNode* node) : node(node) {}
    ~Node() { lilv_node_free(node); }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    LilvNode* node;
};

constexpr uint32_t largestRun = 4096; // frames, as the plug-in runs by default

} // namespace

LilvHost::LilvHost(const std::string& bundleFolder, const std::string& pluginUri) : world_(lilv_world_new())
{
    map_ = {this, &LilvHost::mapUri};
    unmap_ = {this, &LilvHost::unmapUri};
    logFeature_ = {this, &LilvHost::logPrintf, &LilvHost::logVprintf};
    mapFeature_ = {LV2_URID__map, &map_};
    unmapFeature_ = {LV2_URID__unmap, &unmap_};
    logFeatureEntry_ = {LV2_LOG__log, &logFeature_};
    features_[0] = &mapFeature_;
    features_[1] = &unmapFeature_;
    features_[2] = &logFeatureEntry_;
    features_[3] = nullptr;

    // Every bundle of the folder, as lilv_world_load_all does for LV2_PATH.
    const std::string folder = bundleFolder.back() == '/' ? bundleFolder : bundleFolder + "/";
    const Node bundle(lilv_new_file_uri(world_, nullptr, (folder + "voltara.lv2/").c_str()));
    lilv_world_load_bundle(world_, bundle.node);
    const Node uri(lilv_new_uri(world_, pluginUri.c_str()));
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri.node);
    if (plugin_ == nullptr) {
        lilv_world_free(world_);
        throw std::runtime_error("lilv finds no plug-in " + pluginUri + " in " + bundleFolder);
    }
}

LilvHost::~LilvHost()
{
    lilv_world_free(world_);
}

LV2_URID LilvHost::mapUri(void* handle, const char* uri)
{
    auto* self = static_cast<LilvHost*>(handle);
    const std::lock_guard<std::mutex> lock(self->mutex_);
    const auto found = std::find(self->uris_.begin(), self->uris_.end(), uri);
    if (found != self->uris_.end())
        return LV2_URID(found - self->uris_.begin() + 1);
    self->uris_.push_back(uri);
    return LV2_URID(self->uris_.size());
}

const char* LilvHost::unmapUri(void* handle, LV2_URID urid)
{
    auto* self = static_cast<LilvHost*>(handle);
    const std::lock_guard<std::mutex> lock(self->mutex_);
    return urid >= 1 && urid <= self->uris_.size() ? self->uris_[urid - 1].c_str() : nullptr;
}

uint32_t LilvHost::urid(const std::string& uri)
{
    return mapUri(this, uri.c_str());
}

std::string LilvHost::uri(uint32_t urid)
{
    const char* text = unmapUri(this, urid);
    return text != nullptr ? text : "";
}

int LilvHost::logPrintf(void* handle, LV2_URID type, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int written = logVprintf(handle, type, format, arguments);
    va_end(arguments);
    return written;
}

int LilvHost::logVprintf(void* handle, LV2_URID type, const char* format, va_list arguments)
{
    auto* self = static_cast<LilvHost*>(handle);
    char text[4096];
    const int written = std::vsnprintf(text, sizeof text, format, arguments);
    std::string level = self->uri(type);
    level = level.substr(level.find('#') + 1);
    std::transform(level.begin(), level.end(), level.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    std::string line = level + ": " + text;
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    const std::lock_guard<std::mutex> lock(self->mutex_);
    self->log_.push_back(line);
    return written;
}

std::vector<std::string> LilvHost::takeLog()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(log_, {});
}

LilvHost::StatePointer LilvHost::stateFromTurtle(const std::string& text)
{
    return StatePointer(lilv_state_new_from_string(world_, &map_, text.c_str()), lilv_state_free);
}

LilvHost::StatePointer LilvHost::stateFromFile(const std::string& path)
{
    return StatePointer(lilv_state_new_from_file(world_, &map_, nullptr, path.c_str()), lilv_state_free);
}

LilvHost::StatePointer LilvHost::preset(const std::string& uri)
{
    const Node node(lilv_new_uri(world_, uri.c_str()));
    lilv_world_load_resource(world_, node.node);
    return StatePointer(lilv_state_new_from_world(world_, &map_, node.node), lilv_state_free);
}

void LilvHost::saveState(const LilvState* state, const std::string& folder, const std::string& uri)
{
    if (lilv_state_save(world_, &map_, &unmap_, state, uri.empty() ? nullptr : uri.c_str(), folder.c_str(), "state.ttl")
        != 0)
        throw std::runtime_error("lilv cannot save the state into " + folder);
}

struct LilvHostInstance::Ports {
    std::vector<float> values; // by port index: controls and what audio ports do not use
    std::map<std::string, uint32_t> bySymbol;
    uint32_t audioIn[2] = {}, audioOut[2] = {}, events = 0;
    bool hasEvents = false;
    std::vector<uint64_t> sequence = std::vector<uint64_t>(8192); // 64 KiB, 8-byte aligned
    struct Midi {
        uint32_t frame;
        uint8_t bytes[3];
    };
    std::vector<Midi> midi;
    std::mutex pendingMutex; // control values from a restore while running
    std::vector<std::pair<uint32_t, float>> pending;
};

LilvHostInstance::LilvHostInstance(LilvHost& world, double sampleRate)
    : world_(world), instance_(lilv_plugin_instantiate(world.plugin(), sampleRate, world.features())),
      ports_(std::make_unique<Ports>())
{
    if (instance_ == nullptr)
        throw std::runtime_error("the plug-in does not instantiate under lilv");
    const LilvPlugin* plugin = world.plugin();
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    ports_->values.assign(count, 0.0f);
    std::vector<float> defaults(count, NAN);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    const Node audio(lilv_new_uri(world.world(), LV2_CORE__AudioPort));
    const Node input(lilv_new_uri(world.world(), LV2_CORE__InputPort));
    const Node control(lilv_new_uri(world.world(), LV2_CORE__ControlPort));
    const Node atom(lilv_new_uri(world.world(), LV2_ATOM__AtomPort));
    uint32_t ins = 0, outs = 0;
    for (uint32_t index = 0; index < count; ++index) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
        ports_->bySymbol[lilv_node_as_string(lilv_port_get_symbol(plugin, port))] = index;
        const bool isInput = lilv_port_is_a(plugin, port, input.node);
        if (lilv_port_is_a(plugin, port, audio.node)) {
            (isInput ? ports_->audioIn[ins++] : ports_->audioOut[outs++]) = index;
        } else if (lilv_port_is_a(plugin, port, atom.node)) {
            ports_->events = index;
            ports_->hasEvents = true;
            lilv_instance_connect_port(instance_, index, ports_->sequence.data());
        } else if (lilv_port_is_a(plugin, port, control.node)) {
            ports_->values[index] = std::isnan(defaults[index]) ? 0.0f : defaults[index];
            lilv_instance_connect_port(instance_, index, &ports_->values[index]);
        }
    }
}

LilvHostInstance::~LilvHostInstance()
{
    deactivate();
    lilv_instance_free(instance_);
}

float& LilvHostInstance::control(const std::string& symbol)
{
    return ports_->values.at(ports_->bySymbol.at(symbol));
}

void LilvHostInstance::activate()
{
    if (!active_)
        lilv_instance_activate(instance_);
    active_ = true;
}

void LilvHostInstance::deactivate()
{
    if (active_)
        lilv_instance_deactivate(instance_);
    active_ = false;
}

void LilvHostInstance::midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    ports_->midi.push_back({frame, {status, data1, data2}});
}

void LilvHostInstance::run(const std::vector<float>& left, const std::vector<float>& right, std::vector<float>& outLeft,
                           std::vector<float>& outRight)
{
    Ports& ports = *ports_;
    {
        const std::lock_guard<std::mutex> lock(ports.pendingMutex);
        for (const auto& [index, value] : ports.pending)
            ports.values[index] = value;
        ports.pending.clear();
    }
    outLeft.resize(left.size());
    outRight.resize(right.size());
    for (std::size_t start = 0; start < left.size(); start += largestRun) {
        const uint32_t frames = uint32_t(std::min<std::size_t>(largestRun, left.size() - start));
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, world_.map());
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(ports.sequence.data()),
                                  ports.sequence.size() * sizeof(uint64_t));
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
        if (start == 0) {
            for (const Ports::Midi& event : ports.midi) {
                lv2_atom_forge_frame_time(&forge, event.frame);
                lv2_atom_forge_atom(&forge, 3, world_.urid(LV2_MIDI__MidiEvent));
                lv2_atom_forge_write(&forge, event.bytes, 3);
            }
            ports.midi.clear();
        }
        lv2_atom_forge_pop(&forge, &frame);
        lilv_instance_connect_port(instance_, ports.audioIn[0], const_cast<float*>(&left[start]));
        lilv_instance_connect_port(instance_, ports.audioIn[1], const_cast<float*>(&right[start]));
        lilv_instance_connect_port(instance_, ports.audioOut[0], &outLeft[start]);
        lilv_instance_connect_port(instance_, ports.audioOut[1], &outRight[start]);
        lilv_instance_run(instance_, frames);
    }
}

const void* LilvHostInstance::portValue(const char* symbol, void* self, uint32_t* size, uint32_t* type)
{
    auto* instance = static_cast<LilvHostInstance*>(self);
    *size = sizeof(float);
    *type = instance->world_.urid(LV2_ATOM__Float);
    return &instance->control(symbol);
}

void LilvHostInstance::setPortValue(const char* symbol, void* self, const void* value, uint32_t size, uint32_t type)
{
    auto* instance = static_cast<LilvHostInstance*>(self);
    if (size != sizeof(float) || type != instance->world_.urid(LV2_ATOM__Float))
        return;
    float number;
    std::memcpy(&number, value, sizeof number);
    const std::lock_guard<std::mutex> lock(instance->ports_->pendingMutex);
    instance->ports_->pending.emplace_back(instance->ports_->bySymbol.at(symbol), number);
}

LilvHost::StatePointer LilvHostInstance::save()
{
    return LilvHost::StatePointer(
        lilv_state_new_from_instance(world_.plugin(), instance_, world_.map(), nullptr, nullptr, nullptr, nullptr,
                                     &portValue, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, world_.features()),
        lilv_state_free);
}

void LilvHostInstance::restore(const LilvState* state, bool running)
{
    lilv_state_restore(state, instance_, &setPortValue, this, 0, world_.features());
    if (running)
        return;
    const std::lock_guard<std::mutex> lock(ports_->pendingMutex);
    for (const auto& [index, value] : ports_->pending)
        ports_->values[index] = value;
    ports_->pending.clear();
}

std::map<std::string, LilvHostInstance::Property> LilvHostInstance::savedProperties()
{
    struct Collector {
        LilvHost* world;
        std::map<std::string, Property> found;
        static LV2_State_Status store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                                      uint32_t type, uint32_t)
        {
            auto* self = static_cast<Collector*>(handle);
            self->found[self->world->uri(key)] = {self->world->uri(type),
                                                  std::string(static_cast<const char*>(value), size)};
            return LV2_STATE_SUCCESS;
        }
    } collector{&world_, {}};
    const auto* state =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    if (state == nullptr)
        throw std::runtime_error("the plug-in has no state interface");
    state->save(lilv_instance_get_handle(instance_), &Collector::store, &collector,
                LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, world_.features());
    return collector.found;
}

} // namespace voltara::test
