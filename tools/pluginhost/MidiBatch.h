#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <cstddef>
#include <cstdint>

namespace voltara::pluginhost {

// MIDI events gathered for one opHandleEvents call, in storage of their own:
// sending allocates nothing, so an audio thread may send.
template <int32_t Capacity>
class MidiBatch {
public:
    MidiBatch()
    {
        for (int32_t i = 0; i < Capacity; ++i) {
            records_[i].type = midiEventType;
            records_[i].byteSize = int32_t(sizeof(MidiEvent));
            slots_[headerSlots + i] = &records_[i];
        }
    }
    MidiBatch(const MidiBatch&) = delete;
    MidiBatch& operator=(const MidiBatch&) = delete;

    bool full() const { return list()->count == Capacity; }
    bool empty() const { return list()->count == 0; }

    // A channel message of up to three bytes; false when the batch is full.
    bool add(uint8_t status, uint8_t data1, uint8_t data2)
    {
        if (full())
            return false;
        MidiEvent& record = records_[list()->count++];
        record.data[0] = status;
        record.data[1] = data1;
        record.data[2] = data2;
        return true;
    }
    // A whole record as the host built it.
    bool add(const MidiEvent& event)
    {
        if (full())
            return false;
        records_[list()->count++] = event;
        return true;
    }

    // Hands the events to the plug-in, then forgets them.
    void send(PluginDescriptor* plugin)
    {
        if (empty())
            return;
        plugin->dispatch(plugin, opHandleEvents, 0, 0, list(), 0.0f);
        clear();
    }
    void clear()
    {
        list()->count = 0;
        list()->reserved = 0;
    }

private:
    // The list is a count and a reserved word followed by one pointer per
    // event: it is laid over pointer slots, the header taking the first.
    static constexpr std::size_t headerSlots = offsetof(MidiEventList, events) / sizeof(MidiEvent*);
    MidiEventList* list() { return reinterpret_cast<MidiEventList*>(slots_); }
    const MidiEventList* list() const { return reinterpret_cast<const MidiEventList*>(slots_); }

    MidiEvent records_[Capacity] = {};
    MidiEvent* slots_[headerSlots + Capacity] = {};
};

// One channel message sent on its own.
inline void sendMidi(PluginDescriptor* plugin, uint8_t status, uint8_t data1, uint8_t data2)
{
    MidiBatch<1> batch;
    batch.add(status, data1, data2);
    batch.send(plugin);
}

} // namespace voltara::pluginhost
