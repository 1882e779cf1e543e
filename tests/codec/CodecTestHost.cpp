#include "tests/codec/CodecTestHost.h"

#include "common/ByteOrder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace voltara::codec::test {

FormatInfo registerTestHost()
{
    FormatInfo format = {};
    codechost::registerWith(FIO_InitPlugin, "codec tests", format);
    return format;
}

std::vector<uint8_t> packSamples(const std::vector<int32_t>& samples, int32_t bits)
{
    std::vector<uint8_t> out;
    for (int32_t s : samples) {
        if (bits == 8)
            out.push_back(static_cast<uint8_t>(s + 128));
        else
            appendLittleEndian(out, static_cast<uint32_t>(s), bits / 8);
    }
    return out;
}

std::vector<uint8_t> encode(const FormatInfo& format, const EncodeRequest& request)
{
    TestFile file;
    const int64_t frames = static_cast<int64_t>(request.samples.size()) / request.channels;
    const uint32_t dataBytes = static_cast<uint32_t>(request.samples.size() * ((request.bits + 7) / 8));
    std::vector<uint8_t> header =
        waveHeader(request.channels, request.rate, request.bits, dataBytes, request.extraChunks);
    std::vector<uint8_t> trailing = request.trailing;
    StreamInfo info = codechost::writeInfo(request.channels, request.rate, request.bits, header, trailing);
    const int32_t scale = request.bits == 8 ? 16 : request.bits == 16 ? 8 : 0;
    std::vector<int32_t> scaled(request.samples.size());
    for (size_t i = 0; i < scaled.size(); ++i)
        scaled[i] = static_cast<int32_t>(static_cast<uint32_t>(request.samples[i]) << scale);
    const bool ok = codechost::encodeStream(format, file, info, scaled.data(), frames, request.batchFrames);
    return ok ? file.bytes : std::vector<uint8_t>{};
}

Decoded decode(const FormatInfo& format, const std::vector<uint8_t>& bytes, int32_t batchFrames)
{
    Decoded out;
    TestFile file;
    file.bytes = bytes;
    out.readInfoResult = format.readInfo(&file, &out.info);
    if (out.readInfoResult != 0)
        return out;
    const StreamInfo& info = out.info;
    out.header.assign(static_cast<uint8_t*>(info.header), static_cast<uint8_t*>(info.header) + info.headerLength);
    if (info.trailing)
        out.trailing.assign(static_cast<uint8_t*>(info.trailing),
                            static_cast<uint8_t*>(info.trailing) + info.trailingLength);
    void* decoder = format.openRead(&file, &out.info);
    if (decoder != nullptr) {
        const int32_t frameBytes = info.channelCount * (info.bitsPerSample / 8);
        std::vector<uint8_t> buffer(static_cast<size_t>(batchFrames) * frameBytes);
        double progress = 0.0;
        int64_t frames = 0;
        for (;;) {
            const int32_t got = format.readFrames(decoder, buffer.data(), batchFrames, &progress);
            if (got <= 0)
                break;
            frames += got;
            out.samples.insert(out.samples.end(), buffer.begin(), buffer.begin() + got * frameBytes);
            if (got < batchFrames)
                break;
        }
        out.complete = frames == info.totalFrames && (info.totalFrames == 0 || progress == 1.0);
        format.closeRead(decoder);
    }
    releaseBlock(info.header);
    releaseBlock(info.trailing);
    return out;
}

std::vector<int32_t> guitarSignal(int32_t frames, int32_t channels, int32_t bits, uint32_t seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    const double full = std::ldexp(1.0, bits - 1) - 1.0;
    std::vector<int32_t> out(static_cast<size_t>(frames) * channels);
    for (int32_t i = 0; i < frames; ++i) {
        const double t = i / 44100.0;
        const double envelope = std::exp(-3.0 * std::fmod(t, 0.7));
        for (int32_t c = 0; c < channels; ++c) {
            const double f = c == 0 ? 110.0 : 164.8;
            double v = 0.0;
            for (int h = 1; h <= 6; ++h)
                v += std::sin(2.0 * M_PI * f * h * t + c) / (h * h);
            v = 0.5 * envelope * v + 0.002 * noise(random);
            out[static_cast<size_t>(i) * channels + c] =
                static_cast<int32_t>(std::lround(std::clamp(v, -1.0, 1.0) * full));
        }
    }
    return out;
}

} // namespace voltara::codec::test
