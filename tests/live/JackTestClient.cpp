#include "JackTestClient.h"

#include <jack/midiport.h>
#include <jack/transport.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

namespace voltara::test {
namespace {

jack_client_t* openClient(const std::string& name)
{
    jack_status_t status{};
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (client == nullptr)
        throw std::runtime_error("cannot open the JACK client " + name);
    return client;
}

float* buffer(jack_port_t* port, jack_nframes_t frames)
{
    return static_cast<float*>(jack_port_get_buffer(port, frames));
}

} // namespace

JackTestClient::JackTestClient(const std::string& name)
    : player_(openClient(name + "-player")), recorder_(openClient(name + "-recorder"))
{
    for (int c = 0; c < 2; ++c) {
        playOut_[c] = jack_port_register(player_, c == 0 ? "out_left" : "out_right", JACK_DEFAULT_AUDIO_TYPE,
                                         JackPortIsOutput, 0);
        recordIn_[c] =
            jack_port_register(recorder_, c == 0 ? "in_left" : "in_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    }
    midiOut_ = jack_port_register(player_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(player_, playCycle, this);
    jack_set_process_callback(recorder_, recordCycle, this);
    if (jack_activate(player_) != 0 || jack_activate(recorder_) != 0)
        throw std::runtime_error("cannot start the JACK clients of " + name);
}

JackTestClient::~JackTestClient()
{
    jack_deactivate(player_);
    jack_deactivate(recorder_);
    jack_client_close(player_);
    jack_client_close(recorder_);
}

uint32_t JackTestClient::sampleRate() const
{
    return jack_get_sample_rate(player_);
}

uint32_t JackTestClient::period() const
{
    return jack_get_buffer_size(player_);
}

bool JackTestClient::connectTo(const std::string& rack, bool stereo)
{
    const auto connect = [](jack_client_t* client, const std::string& from, const std::string& to) {
        const int failed = jack_connect(client, from.c_str(), to.c_str());
        return failed == 0 || failed == EEXIST;
    };
    bool connected = connect(player_, jack_port_name(playOut_[0]), rack + ":in_left")
                     && connect(player_, jack_port_name(midiOut_), rack + ":midi_in")
                     && connect(recorder_, rack + ":out_left", jack_port_name(recordIn_[0]))
                     && connect(recorder_, rack + ":out_right", jack_port_name(recordIn_[1]));
    if (stereo)
        connected = connected && connect(player_, jack_port_name(playOut_[1]), rack + ":in_right");
    return connected;
}

std::vector<float> JackTestClient::play(const std::vector<float>& stereo, const std::vector<Midi>& events,
                                        double timeoutSeconds)
{
    playing_ = stereo;
    events_ = events;
    std::sort(events_.begin(), events_.end(), [](const Midi& a, const Midi& b) { return a.frame < b.frame; });
    recording_.assign(stereo.size(), 0.0f);
    recorded_ = 0;
    startFrame_ = -1;
    armed_ = true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (recorded_.load() * 2 < int64_t(stereo.size()) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    armed_ = false;
    // Both callbacks are past the take once the next period has begun.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (recorded_.load() * 2 < int64_t(stereo.size()))
        return {};
    return recording_;
}

void JackTestClient::giveTempo(double bpm)
{
    if (tempo_.exchange(bpm) == 0) {
        jack_set_timebase_callback(player_, 0, timebase, this);
        jack_transport_start(player_);
    }
}

int JackTestClient::playCycle(jack_nframes_t frames, void* self)
{
    JackTestClient& client = *static_cast<JackTestClient*>(self);
    float* out[2] = {buffer(client.playOut_[0], frames), buffer(client.playOut_[1], frames)};
    void* midi = jack_port_get_buffer(client.midiOut_, frames);
    jack_midi_clear_buffer(midi);
    std::fill_n(out[0], frames, 0.0f);
    std::fill_n(out[1], frames, 0.0f);
    if (!client.armed_.load())
        return 0;
    const int64_t now = jack_last_frame_time(client.player_);
    int64_t start = client.startFrame_.load();
    if (start < 0) {
        start = now;
        client.startFrame_ = start;
    }
    const int64_t from = now - start;
    const int64_t total = int64_t(client.playing_.size() / 2);
    for (int64_t j = 0; j < int64_t(frames) && from + j < total; ++j) {
        out[0][j] = client.playing_[std::size_t(from + j) * 2];
        out[1][j] = client.playing_[std::size_t(from + j) * 2 + 1];
    }
    for (const Midi& event : client.events_)
        if (int64_t(event.frame) >= from && int64_t(event.frame) < from + int64_t(frames))
            jack_midi_event_write(midi, jack_nframes_t(event.frame - from), event.bytes.data(), event.bytes.size());
    return 0;
}

int JackTestClient::recordCycle(jack_nframes_t frames, void* self)
{
    JackTestClient& client = *static_cast<JackTestClient*>(self);
    const int64_t start = client.startFrame_.load();
    if (!client.armed_.load() || start < 0)
        return 0;
    const int64_t from = int64_t(jack_last_frame_time(client.recorder_)) - start;
    const int64_t total = int64_t(client.recording_.size() / 2);
    if (from < 0 || from != client.recorded_.load())
        return 0; // a period missed would show as frames never recorded
    const float* in[2] = {buffer(client.recordIn_[0], frames), buffer(client.recordIn_[1], frames)};
    int64_t j = 0;
    for (; j < int64_t(frames) && from + j < total; ++j) {
        client.recording_[std::size_t(from + j) * 2] = in[0][j];
        client.recording_[std::size_t(from + j) * 2 + 1] = in[1][j];
    }
    client.recorded_ = from + j;
    return 0;
}

// Bar and beat in 4/4 at the tempo the test gives, moving on by the frames of
// each period.
void JackTestClient::timebase(jack_transport_state_t, jack_nframes_t frames, jack_position_t* position, int, void* self)
{
    JackTestClient& client = *static_cast<JackTestClient*>(self);
    const double bpm = client.tempo_.load();
    position->valid = JackPositionBBT;
    position->beats_per_bar = 4;
    position->beat_type = 4;
    position->ticks_per_beat = 1920;
    position->beats_per_minute = bpm;
    position->bar = int32_t(client.beats_ / 4) + 1;
    position->beat = int32_t(std::fmod(client.beats_, 4.0)) + 1;
    position->tick = int32_t((client.beats_ - std::floor(client.beats_)) * 1920);
    position->bar_start_tick = 0;
    client.beats_ += frames * bpm / 60.0 / position->frame_rate;
}

} // namespace voltara::test
