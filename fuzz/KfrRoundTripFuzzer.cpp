// libFuzzer target: any bytes as the samples of a wave file (the first two
// bytes choose the layout and the sample rate), encoded and decoded through the
// entry points; the samples must come back unchanged.
#include "FuzzHost.h"

using namespace voltara::codec;

namespace {

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> waveHeader(int32_t channels, int32_t rate, int32_t bits, uint32_t dataBytes)
{
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    putLe(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, static_cast<uint32_t>(channels), 2);
    putLe(out, static_cast<uint32_t>(rate), 4);
    putLe(out, static_cast<uint32_t>(rate * channels * bits / 8), 4);
    putLe(out, static_cast<uint32_t>(channels * bits / 8), 2);
    putLe(out, static_cast<uint32_t>(bits), 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLe(out, dataBytes, 4);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FormatInfo format = fuzz::registerFuzzHost();
    if (size < 2)
        return 0;
    fuzz::allocationLimit = 1 << 24;
    const int32_t channels = 1 + (data[0] & 1);
    const int32_t bits = (int32_t[]){8, 16, 24}[(data[0] >> 1) % 3];
    const int32_t rate = (int32_t[]){8000, 11025, 44100, 48000, 96000, 192000, 384000, 1}[data[1] % 8];
    const int32_t sampleBytes = bits / 8;
    const size_t frames = (size - 2) / static_cast<size_t>(channels * sampleBytes);
    const std::vector<uint8_t> packed(data + 2, data + 2 + frames * channels * sampleBytes);

    std::vector<int32_t> samples(frames * channels);
    for (size_t i = 0; i < samples.size(); ++i) {
        const uint8_t* p = packed.data() + i * sampleBytes;
        if (bits == 8)
            samples[i] = (int32_t{p[0]} - 128) * 65536;
        else if (bits == 16)
            samples[i] = static_cast<int16_t>(p[0] | p[1] << 8) * 256;
        else
            samples[i] = static_cast<int32_t>(uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 24) >> 8;
    }

    std::vector<uint8_t> header = waveHeader(channels, rate, bits, static_cast<uint32_t>(packed.size()));
    fuzz::FuzzFile file;
    StreamInfo info = {};
    info.channelCount = channels;
    info.sampleRate = rate;
    info.bitsPerSample = bits;
    info.header = header.data();
    info.headerLength = static_cast<int32_t>(header.size());
    void* encoder = format.openWrite(&file, &info);
    if (encoder == nullptr)
        __builtin_trap();
    int32_t consumed = 0;
    // Two calls, so a block may span them.
    const int32_t first = static_cast<int32_t>(frames / 3);
    if (format.writeFrames(encoder, samples.data(), first, &consumed, nullptr) != 0
        || format.writeFrames(encoder, samples.data() + first * channels, static_cast<int32_t>(frames) - first,
                              &consumed, nullptr)
               != 0
        || format.writeFrames(encoder, nullptr, 0, nullptr, nullptr) != 0
        || format.closeWrite(encoder, static_cast<int64_t>(frames)) != 0)
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
    fuzz::fuzzRelease(read.header);
    fuzz::fuzzRelease(read.trailing);
    return 0;
}
