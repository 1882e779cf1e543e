#pragma once

#include "lv2/log/log.h"
#include "lv2/urid/urid.h"

#include <lilv/lilv.h>

#include <cstdarg>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace voltara::test {

// An LV2 host on Debian's lilv, as session hosts are built: the plug-in found
// in a folder of bundles, instances with a URID map and a log that keeps what
// the plug-in tells it, and state saved and restored through lilv. The
// instances of one world share its URID map, so a state saved from one
// restores into another.
class LilvHost {
public:
    // Finds pluginUri in bundleFolder (a folder of bundles, as LV2_PATH names).
    LilvHost(const std::string& bundleFolder, const std::string& pluginUri);
    ~LilvHost();
    LilvHost(const LilvHost&) = delete;
    LilvHost& operator=(const LilvHost&) = delete;

    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin() const { return plugin_; }
    LV2_URID_Map* map() { return &map_; }
    LV2_URID_Unmap* unmap() { return &unmap_; }
    uint32_t urid(const std::string& uri);
    std::string uri(uint32_t urid);
    const LV2_Feature* const* features() const { return features_; }

    // What plug-ins told the log, one "level: text" line each ("warning: ...").
    std::vector<std::string> takeLog();

    using StatePointer = std::unique_ptr<LilvState, void (*)(LilvState*)>;
    // A state from Turtle text, as a preset file holds one.
    StatePointer stateFromTurtle(const std::string& text);
    StatePointer stateFromFile(const std::string& path);
    // The world's preset of this URI (the bundle's presets).
    StatePointer preset(const std::string& uri);
    // Into folder as a preset bundle: manifest.ttl and state.ttl, the state
    // named uri, or (empty) the state file itself as jalv -l and
    // stateFromFile read it.
    void saveState(const LilvState* state, const std::string& folder, const std::string& uri);

private:
    static LV2_URID mapUri(void* handle, const char* uri);
    static const char* unmapUri(void* handle, LV2_URID urid);
    static int logPrintf(void* handle, LV2_URID type, const char* format, ...);
    static int logVprintf(void* handle, LV2_URID type, const char* format, va_list arguments);

    LilvWorld* world_;
    const LilvPlugin* plugin_ = nullptr;
    std::mutex mutex_; // the map and the log serve instances on several threads
    std::vector<std::string> uris_;
    std::vector<std::string> log_;
    LV2_URID_Map map_;
    LV2_URID_Unmap unmap_;
    LV2_Log_Log logFeature_;
    LV2_Feature mapFeature_, unmapFeature_, logFeatureEntry_;
    const LV2_Feature* features_[4];
};

// One instance of the plug-in with a buffer for every port: the controls at
// their defaults, MIDI for the next run on its atom input.
class LilvHostInstance {
public:
    LilvHostInstance(LilvHost& world, double sampleRate);
    ~LilvHostInstance();
    LilvHostInstance(const LilvHostInstance&) = delete;
    LilvHostInstance& operator=(const LilvHostInstance&) = delete;

    // A control port's value by symbol.
    float& control(const std::string& symbol);
    void activate();
    void deactivate();
    void midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // Stereo through the plug-in, in runs of at most 4096 frames; the
    // control values set back by a restore made while running are taken
    // first, as a running host takes them.
    void run(const std::vector<float>& left, const std::vector<float>& right, std::vector<float>& outLeft,
             std::vector<float>& outRight);

    // The instance's state with every control input's value, as lilv saves it.
    LilvHost::StatePointer save();
    // The state back into the instance; while running (on another thread than
    // run's), the control values wait for the next run.
    void restore(const LilvState* state, bool running = false);

    // The properties the plug-in saves, by key: its type and bytes.
    struct Property {
        std::string type;
        std::string bytes;
    };
    std::map<std::string, Property> savedProperties();

private:
    struct Ports;
    static const void* portValue(const char* symbol, void* self, uint32_t* size, uint32_t* type);
    static void setPortValue(const char* symbol, void* self, const void* value, uint32_t size, uint32_t type);

    LilvHost& world_;
    LilvInstance* instance_;
    std::unique_ptr<Ports> ports_;
    bool active_ = false;
};

} // namespace voltara::test
