#pragma once

#include "common/Relaxed.h"
#include "tools/pluginhost/MidiBatch.h"
#include "tools/pluginhost/PluginInstance.h"

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace voltara::jackhost {

// The server could not be reached, or refused what the client asked for; the
// message says why in one line.
class JackError : public std::runtime_error {
public:
    explicit JackError(const std::string& why) : std::runtime_error(why) {}
};

// A plug-in instance as a JACK client, as an audio host drives it: two audio
// inputs (the first alone, when nothing feeds the second, goes to both
// channels), two audio outputs and a MIDI input, rendered in the process
// callback through the descriptor. The callback allocates nothing, takes no
// lock and waits for nothing: MIDI (program changes, controllers) reaches the
// rack at its own frame, cutting the period there; tempo and position come
// from the transport while it has bar and beat, else from the fixed tempo.
// Period and sample-rate changes suspend, set and resume the rack on the
// server's notification thread while the callback plays silence.
class JackRack {
public:
    struct Settings {
        std::string clientName = "voltara";
        double tempo = 120.0; // beats per minute while the transport gives none
    };
    struct Load {
        double last = 0; // share of the period the last callback took
        double mean = 0; // over every callback so far
        double peak = 0;
        uint64_t cycles = 0;
    };

    // Opens the client without starting a server, registers the ports and
    // prepares and resumes the rack at the server's rate and period; throws
    // JackError when no server answers or a port cannot be made.
    JackRack(pluginhost::PluginInstance& rack, const Settings& settings);
    // Stops, closes the client and suspends the rack.
    ~JackRack();
    JackRack(const JackRack&) = delete;
    JackRack& operator=(const JackRack&) = delete;

    // Starts the callbacks; throws JackError when the server refuses.
    void start();
    // Connects the first physical capture port to the first input, the first
    // two playback ports to the outputs and the first physical MIDI source to
    // the MIDI input; each connection that fails is told in why.
    bool connectToSystem(std::string& why);
    // Ends the callbacks (again: nothing).
    void stop();

    // The name the server gave the client (it may add a suffix).
    std::string name() const;
    double sampleRate() const { return sampleRate_; }
    uint32_t period() const { return period_; }
    // True once the server has shut the client down or gone away.
    bool serverGone() const { return serverGone_.load(); }

    // Makes program p current at the start of the next period, as a MIDI
    // program change arriving there. [any thread]
    void selectProgram(int32_t p) { pendingProgram_.store(p); }
    // The program selectProgram asked for that the audio thread has not
    // made current yet; -1 for none. [any thread]
    int32_t programAsked() const { return pendingProgram_.load(); }

    Load load() const;
    uint64_t xruns() const { return xruns_.load(); }

private:
    static int process(jack_nframes_t frames, void* self);
    static int periodChanged(jack_nframes_t frames, void* self);
    static int rateChanged(jack_nframes_t rate, void* self);
    static int xrun(void* self);
    static void shutDown(jack_status_t, const char*, void* self);

    void render(jack_nframes_t frames);
    double followTransport(); // the transport's speed: 1 rolling, 0 standing
    // Suspends, sets, resumes, with the callback kept silent meanwhile.
    void reconfigure(double sampleRate, uint32_t period);

    pluginhost::PluginInstance& rack_;
    PluginDescriptor* plugin_;
    double fallbackTempo_;
    jack_client_t* client_ = nullptr;
    jack_port_t* inputs_[2] = {};
    jack_port_t* outputs_[2] = {};
    jack_port_t* midiInput_ = nullptr;
    bool running_ = false;
    Relaxed<double> sampleRate_; // Hz; the load figure reads it after the render's bracket
    uint32_t period_ = 0;        // frames

    // The callback renders only while ready_; it holds busy_ while it reads
    // ready_ and works, so that a reconfiguration waits for it to finish.
    std::atomic<bool> ready_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> serverGone_{false};
    std::atomic<int32_t> pendingProgram_{-1};
    pluginhost::MidiBatch<64> midi_;

    Relaxed<double> lastLoad_;
    Relaxed<double> loadSum_;
    Relaxed<double> peakLoad_;
    Relaxed<uint64_t> cycles_;
    Relaxed<uint64_t> xruns_;
};

} // namespace voltara::jackhost
