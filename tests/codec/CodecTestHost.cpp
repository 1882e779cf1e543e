#include "CodecTestHost.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace voltara::codec::test {

namespace {

int64_t allocations = 0;

int32_t testReadAt(FileHandle handle, int64_t offset, void* destination, int32_t count)
{
    TestFile& file = *static_cast<TestFile*>(handle);
    if (offset < 0 || count < 0 || offset + count > static_cast<int64_t>(file.bytes.size()))
        return -1;
    if (file.failReadsAt >= 0 && offset + count > file.failReadsAt)
        return -1;
    if (count > file.largestRead)
        file.largestRead = count;
    std::memcpy(destination, file.bytes.data() + offset, static_cast<size_t>(count));
    return 0;
}

int32_t testWriteAt(FileHandle handle, int64_t offset, const void* source, int32_t count)
{
    TestFile& file = *static_cast<TestFile*>(handle);
    if (file.failWrites || offset < 0 || count < 0)
        return -1;
    if (file.bytes.size() < static_cast<size_t>(offset + count))
        file.bytes.resize(static_cast<size_t>(offset + count));
    std::memcpy(file.bytes.data() + offset, source, static_cast<size_t>(count));
    return 0;
}

int64_t testGetSize(FileHandle handle)
{
    return static_cast<int64_t>(static_cast<TestFile*>(handle)->bytes.size());
}

void* testAllocate(uint32_t count, int32_t clear)
{
    void* block = clear ? std::calloc(count ? count : 1, 1) : std::malloc(count ? count : 1);
    if (block)
        ++allocations;
    return block;
}

void* testReallocate(void* block, uint32_t count)
{
    return std::realloc(block, count);
}

void testRelease(void* block)
{
    if (block) {
        --allocations;
        std::free(block);
    }
}

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

FormatInfo registerTestHost()
{
    HostIoCallbacks callbacks = {};
    std::strcpy(callbacks.hostName, "codec tests");
    callbacks.readAt = testReadAt;
    callbacks.writeAt = testWriteAt;
    callbacks.getSize = testGetSize;
    callbacks.allocate = testAllocate;
    callbacks.reallocate = testReallocate;
    callbacks.release = testRelease;
    FormatInfo format = {};
    FIO_InitPlugin(0, &callbacks, &format);
    return format;
}

int64_t liveAllocations()
{
    return allocations;
}

void releaseBlock(void* block)
{
    testRelease(block);
}

std::vector<uint8_t> chunk(const char id[4], const std::string& payload)
{
    std::vector<uint8_t> out(id, id + 4);
    putLe(out, static_cast<uint32_t>(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<uint8_t> waveHeader(int32_t channels, int32_t rate, int32_t bits, uint32_t dataBytes,
                                const std::vector<uint8_t>& extraChunks)
{
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    putLe(out, 4 + 24 + static_cast<uint32_t>(extraChunks.size()) + 8 + dataBytes + (dataBytes & 1), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, static_cast<uint32_t>(channels), 2);
    putLe(out, static_cast<uint32_t>(rate), 4);
    const int32_t frameBytes = channels * ((bits + 7) / 8);
    putLe(out, static_cast<uint32_t>(rate * frameBytes), 4);
    putLe(out, static_cast<uint32_t>(frameBytes), 2);
    putLe(out, static_cast<uint32_t>(bits), 2);
    out.insert(out.end(), extraChunks.begin(), extraChunks.end());
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLe(out, dataBytes, 4);
    return out;
}

std::vector<uint8_t> packSamples(const std::vector<int32_t>& samples, int32_t bits)
{
    std::vector<uint8_t> out;
    for (int32_t s : samples) {
        if (bits == 8)
            out.push_back(static_cast<uint8_t>(s + 128));
        else
            putLe(out, static_cast<uint32_t>(s), bits / 8);
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
    StreamInfo info = {};
    info.channelCount = request.channels;
    info.sampleRate = request.rate;
    info.bitsPerSample = request.bits;
    info.header = header.data();
    info.headerLength = static_cast<int32_t>(header.size());
    info.trailing = trailing.empty() ? nullptr : trailing.data();
    info.trailingLength = static_cast<int32_t>(trailing.size());
    void* encoder = format.openWrite(&file, &info);
    if (encoder == nullptr)
        return {};
    const int32_t scale = request.bits == 8 ? 16 : request.bits == 16 ? 8 : 0;
    std::vector<int32_t> scaled(request.samples.size());
    for (size_t i = 0; i < scaled.size(); ++i)
        scaled[i] = static_cast<int32_t>(static_cast<uint32_t>(request.samples[i]) << scale);
    int64_t done = 0;
    bool ok = true;
    while (done < frames) {
        const int32_t batch = static_cast<int32_t>(std::min<int64_t>(request.batchFrames, frames - done));
        int32_t consumed = 0;
        int64_t position = 0;
        ok = ok
             && format.writeFrames(encoder, scaled.data() + done * request.channels, batch, &consumed, &position) == 0
             && consumed == batch;
        done += batch;
    }
    int64_t position = 0;
    ok = ok && format.writeFrames(encoder, nullptr, 0, nullptr, &position) == 0;
    ok = ok && position == static_cast<int64_t>(file.bytes.size());
    ok = format.closeWrite(encoder, frames) == 0 && ok;
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
    testRelease(info.header);
    testRelease(info.trailing);
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
