#pragma once

#include "lv2/PortTable.h"

#include "lv2/urid/urid.h"

#include <cstdint>
#include <memory>
#include <string>

namespace voltara::test {

// An LV2 host as tests and benchmarks need one: loads the bundle's binary with
// dlopen, instantiates the rack's LV2 plug-in (with a URID map and the
// maximum-block-length option, or with no features at all as the simplest
// hosts do), keeps every control port in a value of its own and hands the
// plug-in each run's events, MIDI and the transport position, as an atom
// sequence.
class Lv2Host {
public:
    struct Setup {
        double sampleRate = 44100.0;
        int32_t maxBlockLength = 4096; // told through the options feature
        bool features = true;
        // Where the event sequence starts in its 8-byte aligned buffer: 4 as
        // hosts do that align atoms to four bytes only.
        uint32_t sequenceOffset = 0;
    };

    // Throws std::runtime_error when the binary does not load or the plug-in
    // does not instantiate.
    Lv2Host(const std::string& bundleFolder, const std::string& binaryPath, const Setup& setup);
    ~Lv2Host();
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    // A control input (set it before run) or output (read it after run).
    float& control(uint32_t port);

    void activate();
    void deactivate();

    // Events for the next run, in frame order.
    void midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    void position(uint32_t frame, float beatsPerMinute, double beat, float speed);
    // A path the host chose for a parameter of the plug-in (patch:Set), as
    // hosts answer a UI's request for a value.
    void setPath(const char* property, const std::string& path);

    // What a UI of the plug-in is given: its instance (instance access) and
    // the host's URID map.
    void* instance() const;
    LV2_URID_Map* map() const;
    uint32_t urid(const char* uri);
    // A parameter's value as the rack itself holds it.
    float rackParameter(int32_t index) const;

    // One run; outputs may be the inputs. The queued events go with it.
    void run(const float* left, const float* right, float* outLeft, float* outRight, uint32_t frames);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace voltara::test
