#include "tests/windows/Checks.h"

#include "resources/DibFile.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"
#include "tools/codechost/WaveBytes.h"

namespace voltara::winhost {

namespace {

constexpr int32_t framesPerCall = 4096;

// Decodes a whole stream; false when a call fails or the stream ends early.
bool decodeAll(const codec::FormatInfo& format, codechost::MemoryFile& file, codec::StreamInfo& info,
               std::vector<uint8_t>& samples)
{
    void* decoder = format.openRead(&file, &info);
    if (decoder == nullptr)
        return false;
    const int32_t frameBytes = info.channelCount * (info.bitsPerSample / 8);
    std::vector<uint8_t> buffer(std::size_t(framesPerCall) * frameBytes);
    int64_t frames = 0;
    for (;;) {
        double progress = 0.0;
        const int32_t got = format.readFrames(decoder, buffer.data(), framesPerCall, &progress);
        if (got <= 0)
            break;
        samples.insert(samples.end(), buffer.begin(), buffer.begin() + std::ptrdiff_t(got) * frameBytes);
        frames += got;
    }
    format.closeRead(decoder);
    return frames == info.totalFrames;
}

void checkFile(CheckLog& log, const codec::FormatInfo& format, const Plan& plan, const Plan::Line& line)
{
    const std::string what = "kfr " + line.fields.at(0);
    std::vector<uint8_t> wave, stream;
    if (!log.check(readFileBytes(plan.file(line.fields.at(1)), wave)
                       && readFileBytes(plan.file(line.fields.at(2)), stream) && stream.size() >= 4,
                   what + ": the Linux side's files read"))
        return;
    log.check(format.checkFormat(nullptr, stream.data()) == 1, what + ": checkFormat knows the file");

    // Read: the wave file's samples and the chunks after them come back.
    codechost::MemoryFile file(stream);
    codec::StreamInfo info = {};
    if (!log.check(format.readInfo(&file, &info) == 0, what + ": readInfo"))
        return;
    const std::size_t headerBytes = std::size_t(info.headerLength);
    const std::size_t sampleBytes = std::size_t(info.totalFrames) * info.channelCount * (info.bitsPerSample / 8);
    const std::size_t trailingBytes = std::size_t(info.trailingLength);
    const bool layout = headerBytes + sampleBytes + trailingBytes == wave.size();
    std::vector<uint8_t> decoded;
    if (log.check(layout, what + ": header, samples and trailing chunks add up to the wave file")
        && log.check(decodeAll(format, file, info, decoded), what + ": decoded every frame")) {
        log.check(std::equal(decoded.begin(), decoded.end(), wave.begin() + std::ptrdiff_t(headerBytes))
                      && decoded.size() == sampleBytes,
                  what + ": decoded samples equal the wave file's",
                  std::to_string(info.totalFrames) + " frames, " + std::to_string(info.channelCount) + " channels, "
                      + std::to_string(info.bitsPerSample) + " bits");
        const auto* trailing = static_cast<const uint8_t*>(info.trailing);
        log.check(trailingBytes == 0
                      || std::equal(trailing, trailing + trailingBytes, wave.end() - std::ptrdiff_t(trailingBytes)),
                  what + ": the trailing chunks come back");
    }

    // Write: the same wave file gives the Linux build's bytes.
    if (layout) {
        const int64_t frames = info.totalFrames;
        std::vector<int32_t> samples(std::size_t(frames) * info.channelCount);
        codechost::toCodecSamples(wave.data() + headerBytes, samples.size(), info.bitsPerSample, samples.data());
        codec::StreamInfo out = {};
        out.channelCount = info.channelCount;
        out.sampleRate = info.sampleRate;
        out.bitsPerSample = info.bitsPerSample;
        out.header = wave.data();
        out.headerLength = int32_t(headerBytes);
        out.trailing = trailingBytes ? wave.data() + headerBytes + sampleBytes : nullptr;
        out.trailingLength = int32_t(trailingBytes);
        codechost::MemoryFile encoded;
        const bool written = codechost::encodeStream(format, encoded, out, samples.data(), frames, framesPerCall);
        log.check(written && encoded.bytes == stream, what + ": encoding gives the Linux build's bytes",
                  std::to_string(encoded.bytes.size()) + " bytes against " + std::to_string(stream.size()));
    }
    codechost::release(info.header);
    codechost::release(info.trailing);
}

} // namespace

void checkCodec(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    const auto init = dll.entry<codechost::InitEntry>("FIO_InitPlugin");
    codec::FormatInfo format = {};
    if (!log.check(init != nullptr && codechost::registerWith(init, "Voltara Windows host", format),
                   "FIO_InitPlugin fills the format description"))
        return;
    for (const Plan::Line& line : plan.all("kfr"))
        checkFile(log, format, plan, line);
}

} // namespace voltara::winhost
