// libFuzzer target: any bytes as the samples of a wave file (the first two
// bytes choose the layout and the sample rate), encoded and decoded through the
// entry points; the samples must come back unchanged.
#include "codec/CodecInterface.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"
#include "tools/codechost/WaveBytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace voltara;
using codec::FormatInfo;
using codec::StreamInfo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FormatInfo format = [] {
        FormatInfo registered = {};
        codechost::registerWith(FIO_InitPlugin, "round-trip fuzzer", registered);
        return registered;
    }();
    if (size < 2)
        return 0;
    codechost::setAllocationLimit(1 << 24);
    const int32_t channels = 1 + (data[0] & 1);
    const int32_t bits = (int32_t[]){8, 16, 24}[(data[0] >> 1) % 3];
    const int32_t rate = (int32_t[]){8000, 11025, 44100, 48000, 96000, 192000, 384000, 1}[data[1] % 8];
    const int32_t sampleBytes = bits / 8;
    const size_t frames = (size - 2) / static_cast<size_t>(channels * sampleBytes);
    const std::vector<uint8_t> packed(data + 2, data + 2 + frames * channels * sampleBytes);
    std::vector<int32_t> samples(frames * channels);
    codechost::toCodecSamples(packed.data(), samples.size(), bits, samples.data());

    std::vector<uint8_t> header = codechost::waveHeader(channels, rate, bits, static_cast<uint32_t>(packed.size()));
    codechost::MemoryFile file;
    StreamInfo info = {};
    info.channelCount = channels;
    info.sampleRate = rate;
    info.bitsPerSample = bits;
    info.header = header.data();
    info.headerLength = static_cast<int32_t>(header.size());
    // Calls of a third of the frames, so a block may span them.
    const int32_t batch = std::max(static_cast<int32_t>(frames / 3), 1);
    if (!codechost::encodeStream(format, file, info, samples.data(), static_cast<int64_t>(frames), batch))
        __builtin_trap();

    StreamInfo read = {};
    if (format.readInfo(&file, &read) != 0)
        __builtin_trap();
    void* decoder = format.openRead(&file, &read);
    if (decoder == nullptr)
        __builtin_trap();
    std::vector<uint8_t> decoded(packed.size() + 1);
    double progress = 0.0;
    if (format.readFrames(decoder, decoded.data(), static_cast<int32_t>(frames) + 1, &progress)
            != static_cast<int32_t>(frames)
        || (!packed.empty() && std::memcmp(decoded.data(), packed.data(), packed.size()) != 0))
        __builtin_trap();
    format.closeRead(decoder);
    codechost::release(read.header);
    codechost::release(read.trailing);
    return 0;
}
