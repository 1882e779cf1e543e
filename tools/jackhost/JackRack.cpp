#include "tools/jackhost/JackRack.h"

#include <jack/midiport.h>
#include <jack/transport.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

namespace voltara::jackhost {
namespace {

const char* const portNames[2][2] = {{"in_left", "in_right"}, {"out_left", "out_right"}};

double secondsNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void ignoreMessage(const char*) {}

void printMessage(const char* message)
{
    std::fprintf(stderr, "JACK: %s\n", message);
}

std::string serverDescription()
{
    const char* named = std::getenv("JACK_DEFAULT_SERVER");
    return named && *named ? std::string("the JACK server \"") + named + "\"" : std::string("a JACK server");
}

// The first port of a kind the server's hardware offers; empty for none.
std::string firstPhysical(jack_client_t* client, const char* type, unsigned long direction, int which = 0)
{
    const char** ports = jack_get_ports(client, nullptr, type, JackPortIsPhysical | direction);
    std::string name;
    for (int i = 0; ports && ports[i]; ++i)
        if (i == which)
            name = ports[i];
    if (ports)
        jack_free(ports);
    return name;
}

} // namespace

JackRack::JackRack(pluginhost::PluginInstance& rack, const Settings& settings)
    : rack_(rack), plugin_(rack.descriptor()), fallbackTempo_(settings.tempo)
{
    // libjack tells every failed attempt on standard error; the one line that
    // matters is ours.
    jack_set_error_function(ignoreMessage);
    jack_set_info_function(ignoreMessage);
    jack_status_t status{};
    client_ = jack_client_open(settings.clientName.c_str(), JackNoStartServer, &status);
    jack_set_error_function(printMessage);
    if (client_ == nullptr) {
        if (status & JackServerFailed)
            throw JackError("cannot reach " + serverDescription()
                            + ": start one first (jackd, qjackctl, or PipeWire with its JACK support: pw-jack "
                              "voltara live)");
        if (status & JackInvalidOption)
            throw JackError("the JACK server refused the client name \"" + settings.clientName + "\"");
        throw JackError("the JACK server refused a client (status 0x" + std::to_string(int(status)) + ")");
    }
    for (int direction = 0; direction < 2; ++direction)
        for (int channel = 0; channel < 2; ++channel) {
            jack_port_t*& port = direction == 0 ? inputs_[channel] : outputs_[channel];
            port = jack_port_register(client_, portNames[direction][channel], JACK_DEFAULT_AUDIO_TYPE,
                                      direction == 0 ? JackPortIsInput : JackPortIsOutput, 0);
        }
    midiInput_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    if (!inputs_[0] || !inputs_[1] || !outputs_[0] || !outputs_[1] || !midiInput_) {
        jack_client_close(client_);
        throw JackError("the JACK server refused the ports of the client");
    }
    jack_set_process_callback(client_, process, this);
    jack_set_buffer_size_callback(client_, periodChanged, this);
    jack_set_sample_rate_callback(client_, rateChanged, this);
    jack_set_xrun_callback(client_, xrun, this);
    jack_on_info_shutdown(client_, shutDown, this);
    reconfigure(jack_get_sample_rate(client_), jack_get_buffer_size(client_));
}

JackRack::~JackRack()
{
    stop();
    jack_client_close(client_);
    rack_.suspend();
}

void JackRack::start()
{
    if (jack_activate(client_) != 0)
        throw JackError("the JACK server would not start the client");
    running_ = true;
}

void JackRack::stop()
{
    if (running_ && !serverGone())
        jack_deactivate(client_);
    running_ = false;
}

bool JackRack::connectToSystem(std::string& why)
{
    const auto connect = [&](const std::string& from, const std::string& to, const char* what) {
        if (from.empty() || to.empty())
            why += std::string(why.empty() ? "" : "; ") + "the server has no " + what;
        else if (const int failed = jack_connect(client_, from.c_str(), to.c_str()); failed != 0 && failed != EEXIST)
            why += std::string(why.empty() ? "" : "; ") + "cannot connect " + from + " to " + to;
    };
    const std::string capture = firstPhysical(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    std::string left = firstPhysical(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput);
    std::string right = firstPhysical(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 1);
    if (right.empty())
        right = left;
    connect(capture, jack_port_name(inputs_[0]), "capture port");
    connect(jack_port_name(outputs_[0]), left, "playback port");
    connect(jack_port_name(outputs_[1]), right, "playback port");
    // A MIDI controller on the hardware plays along when there is one.
    const std::string controller = firstPhysical(client_, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    if (!controller.empty())
        connect(controller, jack_port_name(midiInput_), "MIDI source");
    return why.empty();
}

std::string JackRack::name() const
{
    return jack_get_client_name(client_);
}

JackRack::Load JackRack::load() const
{
    Load load;
    load.cycles = cycles_.load();
    load.last = lastLoad_.load();
    load.peak = peakLoad_.load();
    load.mean = load.cycles ? loadSum_.load() / double(load.cycles) : 0.0;
    return load;
}

// [audio thread]
int JackRack::process(jack_nframes_t frames, void* self)
{
    JackRack& rack = *static_cast<JackRack*>(self);
    const double began = secondsNow();
    rack.busy_.store(true);
    if (rack.ready_.load() && frames <= rack.period_) {
        rack.render(frames);
    } else {
        for (jack_port_t* port : rack.outputs_)
            std::fill_n(static_cast<float*>(jack_port_get_buffer(port, frames)), frames, 0.0f);
    }
    rack.busy_.store(false);
    const double sampleRate = rack.sampleRate_;
    if (sampleRate > 0 && frames > 0) {
        const double load = (secondsNow() - began) * sampleRate / double(frames);
        rack.lastLoad_ = load;
        rack.loadSum_ = rack.loadSum_.load() + load;
        rack.peakLoad_ = std::max(rack.peakLoad_.load(), load);
        rack.cycles_ = rack.cycles_.load() + 1;
    }
    return 0;
}

// [audio thread] The period through the rack, cut where MIDI events fall.
void JackRack::render(jack_nframes_t frames)
{
    float* in[2];
    float* out[2];
    for (int channel = 0; channel < 2; ++channel) {
        in[channel] = static_cast<float*>(jack_port_get_buffer(inputs_[channel], frames));
        out[channel] = static_cast<float*>(jack_port_get_buffer(outputs_[channel], frames));
    }
    // A guitar on the first input alone is a mono source: both channels hear it.
    if (jack_port_connected(inputs_[1]) == 0)
        in[1] = in[0];
    const double speed = followTransport();
    const int32_t program = pendingProgram_.exchange(-1);
    if (program >= 0)
        midi_.add(0xc0, uint8_t(program), 0);

    void* midi = jack_port_get_buffer(midiInput_, frames);
    const uint32_t count = jack_midi_get_event_count(midi);
    uint32_t next = 0;
    jack_midi_event_t event{};
    bool pending = count > 0 && jack_midi_event_get(&event, midi, 0) == 0;
    for (jack_nframes_t done = 0; done < frames;) {
        for (; pending && event.time <= done;
             pending = ++next < count && jack_midi_event_get(&event, midi, next) == 0) {
            const bool channelMessage =
                event.size >= 1 && event.size <= 3 && event.buffer[0] >= 0x80 && event.buffer[0] < 0xf0;
            if (!channelMessage)
                continue;
            if (midi_.full())
                midi_.send(plugin_);
            midi_.add(event.buffer[0], event.size > 1 ? event.buffer[1] : 0, event.size > 2 ? event.buffer[2] : 0);
        }
        midi_.send(plugin_);
        const jack_nframes_t end = pending ? std::min(event.time, frames) : frames;
        float* inPart[2] = {in[0] + done, in[1] + done};
        float* outPart[2] = {out[0] + done, out[1] + done};
        rack_.process(inPart, outPart, int32_t(end - done), speed);
        done = end;
    }
}

// [audio thread] The host's time for this period: bar, beat and tempo from
// the transport while it has them (its position moving only while it rolls),
// else the fixed tempo and a position that moves on with the frames played.
double JackRack::followTransport()
{
    jack_position_t position{};
    const jack_transport_state_t state = jack_transport_query(client_, &position);
    TimeInfo& time = rack_.time;
    const bool hasBeats = (position.valid & JackPositionBBT) && position.beats_per_minute > 0 && position.beat_type > 0
                          && position.ticks_per_beat > 0;
    if (!hasBeats) {
        time.tempo = fallbackTempo_;
        return 1.0;
    }
    time.tempo = position.beats_per_minute;
    const double beats = double(position.bar - 1) * double(position.beats_per_bar) + double(position.beat - 1)
                         + position.tick / position.ticks_per_beat;
    time.songPosition = beats * 4.0 / double(position.beat_type);
    time.timeSignatureNumerator = int32_t(position.beats_per_bar);
    time.timeSignatureDenominator = int32_t(position.beat_type);
    return state == JackTransportRolling ? 1.0 : 0.0;
}

void JackRack::reconfigure(double sampleRate, uint32_t period)
{
    if (sampleRate == sampleRate_ && period == period_)
        return;
    ready_.store(false);
    while (busy_.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    rack_.suspend();
    sampleRate_ = sampleRate;
    period_ = period;
    rack_.prepare(sampleRate_, int32_t(period_), fallbackTempo_);
    rack_.resume();
    ready_.store(true);
}

// [notification thread]
int JackRack::periodChanged(jack_nframes_t frames, void* self)
{
    JackRack& rack = *static_cast<JackRack*>(self);
    rack.reconfigure(rack.sampleRate_, frames);
    return 0;
}

// [notification thread]
int JackRack::rateChanged(jack_nframes_t rate, void* self)
{
    JackRack& rack = *static_cast<JackRack*>(self);
    rack.reconfigure(rate, rack.period_);
    return 0;
}

// [notification thread]
int JackRack::xrun(void* self)
{
    JackRack& rack = *static_cast<JackRack*>(self);
    rack.xruns_ = rack.xruns_.load() + 1;
    return 0;
}

// [a thread of libjack's] The server is gone: the client is of no more use.
void JackRack::shutDown(jack_status_t, const char*, void* self)
{
    JackRack& rack = *static_cast<JackRack*>(self);
    rack.ready_.store(false);
    rack.serverGone_.store(true);
}

} // namespace voltara::jackhost
