#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace voltara::test {

// The test's side of a JACK server: a player that plays stereo frames and
// MIDI events into a rack client and, in the same cycles, a recorder of what
// the rack puts out (two clients, so that the server runs player, rack and
// recorder in that order within each period). The player is also the
// transport's timebase master while the test gives a tempo.
class JackTestClient {
public:
    struct Midi {
        uint32_t frame; // from the first frame played
        std::vector<uint8_t> bytes;
    };

    // Opens both clients on the server of JACK_DEFAULT_SERVER; throws
    // std::runtime_error when it cannot.
    explicit JackTestClient(const std::string& name);
    ~JackTestClient();
    JackTestClient(const JackTestClient&) = delete;
    JackTestClient& operator=(const JackTestClient&) = delete;

    uint32_t sampleRate() const;
    uint32_t period() const;
    // Connects the player to the rack's inputs (the second only when
    // stereo) and MIDI input, the rack's outputs to the recorder; false while
    // the rack's ports are not there.
    bool connectTo(const std::string& rack, bool stereo = true);

    // Plays stereo (interleaved) and the events from the start of a period,
    // records as many frames of the rack's output from that period on, and
    // answers them once recorded (empty after timeoutSeconds).
    std::vector<float> play(const std::vector<float>& stereo, const std::vector<Midi>& events,
                            double timeoutSeconds = 60.0);

    // Bar, beat and tempo for the transport from now on (beats per minute),
    // and the transport rolling.
    void giveTempo(double bpm);

private:
    static int playCycle(jack_nframes_t frames, void* self);
    static int recordCycle(jack_nframes_t frames, void* self);
    static void timebase(jack_transport_state_t, jack_nframes_t frames, jack_position_t* position, int newPosition,
                         void* self);

    jack_client_t* player_ = nullptr;
    jack_client_t* recorder_ = nullptr;
    jack_port_t* playOut_[2] = {};
    jack_port_t* midiOut_ = nullptr;
    jack_port_t* recordIn_[2] = {};

    // Set by the test before arming, read by the callbacks while armed.
    std::vector<float> playing_;
    std::vector<Midi> events_;
    std::vector<float> recording_;
    std::atomic<bool> armed_{false};
    std::atomic<int64_t> startFrame_{-1}; // the server's frame time of the first frame played
    std::atomic<int64_t> recorded_{0};    // frames

    std::atomic<double> tempo_{0}; // beats per minute; 0: no timebase
    double beats_ = 0;             // timebase: beats from the transport's start
};

} // namespace voltara::test
