// Kestrelwave encode and decode throughput through the codec's entry points,
// on files held in memory: MB/s of packed 16-bit stereo wave samples.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "codec/CodecInterface.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"
#include "tools/codechost/WaveBytes.h"

namespace voltara::codec {
namespace {

using codechost::MemoryFile;

constexpr int32_t benchFrames = 441000; // ten seconds at 44.1 kHz
constexpr int32_t framesPerCall = 4096;

const FormatInfo& format()
{
    static const FormatInfo registered = [] {
        FormatInfo info = {};
        codechost::registerWith(FIO_InitPlugin, "codec benchmarks", info);
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
    static std::vector<uint8_t> header = codechost::waveHeader(2, 44100, 16, 0), none;
    MemoryFile file;
    StreamInfo info = codechost::writeInfo(2, 44100, 16, header, none);
    codechost::encodeStream(format(), file, info, guitar().data(), benchFrames, framesPerCall);
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
        codechost::release(info.header);
        codechost::release(info.trailing);
    }
    state.SetBytesProcessed(state.iterations() * benchFrames * 4);
    state.counters["ratio"] = static_cast<double>(file.bytes.size()) / (benchFrames * 4.0);
}
BENCHMARK(BM_KfrDecode)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace voltara::codec
