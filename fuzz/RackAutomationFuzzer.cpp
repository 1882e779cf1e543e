// libFuzzer target: the parameter and time path. Any index and any float
// value through the parameter entry, any tempo and song position (or none),
// any program number, sample rate and block size, suspend and resume, then
// audio of any length through both entries: every output sample must be
// finite, and what the rack keeps must lie within 0 .. 1.
#include "fuzz/RackFuzzKit.h"

#include <algorithm>

using namespace voltara;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input input(data, size);
    fuzz::HostTime::time = TimeInfo{};
    fuzz::HostTime::time.tempo = 120.0;
    fuzz::HostTime::hasTime = true;
    auto rack = fuzz::makeRack(input.byte() & 1 ? 8000.0f : 44100.0f, 1 + input.byte() * 16);
    PluginDescriptor* d = rack->descriptor();
    int32_t framesLeft = 1 << 14; // keeps every input quick
    for (int32_t step = 0; step < 256 && !input.done(); ++step) {
        switch (input.byte() % 8) {
        case 0:
        case 1: {
            const int32_t index = input.byte() & 0x80 ? static_cast<int32_t>(input.word()) : input.byte() % 80;
            d->setParameter(d, index, input.anyFloat());
            break;
        }
        case 2:
            fuzz::HostTime::time.tempo = input.anyDouble();
            fuzz::HostTime::time.songPosition = input.anyDouble();
            break;
        case 3: fuzz::HostTime::hasTime = !fuzz::HostTime::hasTime; break;
        case 4: {
            const uint8_t how = input.byte();
            if (how & 1)
                d->dispatch(d, opSetSampleRate, 0, 0, nullptr, input.anyFloat());
            if (how & 2)
                d->dispatch(d, opSetBlockSize, 0, static_cast<int32_t>(input.word() % 70000), nullptr, 0.0f);
            d->dispatch(d, opSuspendResume, 0, how & 4 ? 0 : 1, nullptr, 0.0f);
            break;
        }
        case 5:
            d->dispatch(d, opSetProgram, 0, static_cast<intptr_t>(static_cast<int32_t>(input.word())), nullptr, 0.0f);
            break;
        default: {
            const int32_t frames = std::min(static_cast<int32_t>(input.word() % 8192), framesLeft);
            framesLeft -= frames;
            fuzz::runAudio(*rack, frames, static_cast<uint32_t>(step), input.byte() & 1);
            break;
        }
        }
        fuzz::checkState(*rack);
    }
    fuzz::runAudio(*rack, 1024, 99);
    return 0;
}
