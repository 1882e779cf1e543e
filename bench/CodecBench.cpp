// Kestrelwave encode and decode throughput through the codec's entry points,
// on files held in memory: MB/s of packed 16-bit stereo wave samples.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "codec/CodecInterface.h"

namespace voltara::codec {
namespace {

constexpr int32_t benchFrames = 441000; // ten seconds at 44.1 kHz
constexpr int32_t framesPerCall = 4096;

struct MemoryFile {
    std::vector<uint8_t> bytes;
};

int32_t readAt(FileHandle f, int64_t offset, void* destination, int32_t count)
{
    const auto& bytes = static_cast<MemoryFile*>(f)->bytes;
    if (offset < 0 || offset + count > static_cast<int64_t>(bytes.size()))
        return -1;
    std::memcpy(destination, bytes.data() + offset, static_cast<size_t>(count));
    return 0;
}

int32_t writeAt(FileHandle f, int64_t offset, const void* source, int32_t count)
{
    auto& bytes = static_cast<MemoryFile*>(f)->bytes;
    if (bytes.size() < static_cast<size_t>(offset + count))
        bytes.resize(static_cast<size_t>(offset + count));
    std::memcpy(bytes.data() + offset, source, static_cast<size_t>(count));
    return 0;
}

int64_t getSize(FileHandle f)
{
    return static_cast<int64_t>(static_cast<MemoryFile*>(f)->bytes.size());
}

void* allocate(uint32_t count, int32_t clear)
{
    return clear ? std::calloc(count, 1) : std::malloc(count);
}

void* reallocate(void* block, uint32_t count)
{
    return std::realloc(block, count);
}

const FormatInfo& format()
{
    static const FormatInfo registered = [] {
        HostIoCallbacks callbacks = {};
        callbacks.readAt = readAt;
        callbacks.writeAt = writeAt;
        callbacks.getSize = getSize;
        callbacks.allocate = allocate;
        callbacks.reallocate = reallocate;
        callbacks.release = std::free;
        FormatInfo info = {};
        FIO_InitPlugin(0, &callbacks, &info);
        return info;
    }();
    return registered;
}

// A plucked stereo chord with a little noise, on the codec's 24-bit scale.
const std::vector<int32_t>& guitar()
{
    static const std::vector<int32_t> samples = [] {
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0.0, 1.0);
        std::vector<int32_t> out(2 * static_cast<size_t>(benchFrames));
        for (int32_t i = 0; i < benchFrames; ++i) {
            const double t = i / 44100.0, envelope = std::exp(-3.0 * std::fmod(t, 0.7));
            for (int c = 0; c < 2; ++c) {
                double v = 0.0;
                for (int h = 1; h <= 6; ++h)
                    v += std::sin(2.0 * M_PI * (c ? 164.8 : 110.0) * h * t) / (h * h);
                out[2 * i + c] =
                    static_cast<int32_t>(std::lround((0.5 * envelope * v + 0.001 * noise(random)) * 32767)) * 256;
            }
        }
        return out;
    }();
    return samples;
}

MemoryFile encodeGuitar()
{
    static const uint8_t header[44] = {'R', 'I', 'F', 'F', 0,  0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
                                       ' ', 16,  0,   0,   0,  1, 0,   2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1,
                                       2,   0,   4,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
    MemoryFile file;
    StreamInfo info = {};
    info.channelCount = 2;
    info.sampleRate = 44100;
    info.bitsPerSample = 16;
    info.header = const_cast<uint8_t*>(header);
    info.headerLength = sizeof header;
    void* encoder = format().openWrite(&file, &info);
    const std::vector<int32_t>& samples = guitar();
    int32_t consumed;
    for (int32_t done = 0; done < benchFrames; done += framesPerCall)
        format().writeFrames(encoder, samples.data() + 2 * done, std::min(framesPerCall, benchFrames - done), &consumed,
                             nullptr);
    format().writeFrames(encoder, nullptr, 0, nullptr, nullptr);
    format().closeWrite(encoder, benchFrames);
    return file;
}

void BM_KfrEncode(benchmark::State& state)
{
    guitar();
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeGuitar().bytes.data());
    state.SetBytesProcessed(state.iterations() * benchFrames * 4);
}
BENCHMARK(BM_KfrEncode)->Unit(benchmark::kMillisecond);

void BM_KfrDecode(benchmark::State& state)
{
    MemoryFile file = encodeGuitar();
    std::vector<uint8_t> out(framesPerCall * 4);
    for (auto _ : state) {
        StreamInfo info = {};
        format().readInfo(&file, &info);
        void* decoder = format().openRead(&file, &info);
        double progress;
        while (format().readFrames(decoder, out.data(), framesPerCall, &progress) == framesPerCall)
            benchmark::DoNotOptimize(out.data());
        format().closeRead(decoder);
        std::free(info.header);
        std::free(info.trailing);
    }
    state.SetBytesProcessed(state.iterations() * benchFrames * 4);
    state.counters["ratio"] = static_cast<double>(file.bytes.size()) / (benchFrames * 4.0);
}
BENCHMARK(BM_KfrDecode)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace voltara::codec
