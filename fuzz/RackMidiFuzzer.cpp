// libFuzzer target: any MIDI event lists through the dispatcher, between
// audio calls, as a host delivers them on its audio thread. Events of any
// type and any bytes, null entries in the list. Must never crash; every
// value the events set lies within 0 .. 1, the program stays one of the 32,
// and the audio stays finite.
#include "fuzz/RackFuzzKit.h"

using namespace voltara;

namespace {

constexpr int32_t maxEvents = 8;

// A host's list: the record's count and reserved word, then as many event
// pointers as it holds.
struct EventList {
    int32_t count;
    int32_t reserved;
    MidiEvent* events[maxEvents];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input input(data, size);
    auto rack = fuzz::makeRack(8000.0f);
    PluginDescriptor* descriptor = rack->descriptor();
    MidiEvent events[maxEvents];
    for (int32_t round = 0; round < 64 && !input.done(); ++round) {
        EventList list{};
        list.count = input.byte() % (maxEvents + 1);
        for (int32_t i = 0; i < list.count; ++i) {
            MidiEvent& event = events[i];
            event = MidiEvent{};
            const uint8_t kind = input.byte();
            event.type = kind & 0x80 ? kind : midiEventType;
            event.byteSize = sizeof event;
            for (uint8_t& b : event.data)
                b = input.byte();
            list.events[i] = kind == 0x7f ? nullptr : &event;
        }
        descriptor->dispatch(descriptor, opHandleEvents, 0, 0, &list, 0.0f);
        fuzz::checkState(*rack);
        const int32_t frames = 1 + input.byte() * 4;
        fuzz::runAudio(*rack, frames, round);
    }
    return 0;
}
