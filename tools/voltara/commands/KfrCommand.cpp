#include "tools/voltara/commands/Commands.h"

#include "codec/CodecInterface.h"
#include "codec/FileHeader.h"
#include "tools/codechost/WaveBytes.h"
#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/InputFile.h"
#include "tools/voltara/base/Installation.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/kfr/DiskFile.h"
#include "tools/voltara/kfr/KfrCodec.h"
#include "tools/voltara/kfr/WaveLayout.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string>
#include <vector>

// `voltara kfr encode|decode|info`: the Kestrelwave codec driven only through
// the plug-in library, as a host audio editor drives it: FIO_InitPlugin with
// file-backed callbacks (64-bit offsets), then the format's entry points.
namespace voltara {
namespace {

using codec::StreamInfo;

constexpr int32_t framesPerCall = KfrStream::framesPerCall;

struct Options {
    std::vector<std::string> files;
    std::string plugin = Installation::plugin();
    bool verify = false;
};

CommandLine commandLine(const char* usage, const char* summary, Options& options)
{
    CommandLine line(usage, summary);
    line.add(Option::text("--plugin", 0, "PATH", nullptr,
                          "the plug-in whose codec to use (default: the one that belongs to this program)",
                          [&options](const std::string& path, double) { options.plugin = path; }));
    return line;
}

// A Kestrelwave file read through the plug-in's codec.
struct KfrInput {
    KfrInput(const std::string& plugin, const std::string& path, const std::string& shownPath)
        : codec(plugin), file(path, O_RDONLY, shownPath), stream(codec, file)
    {
    }

    const KfrCodec codec;
    DiskFile file;
    KfrStream stream;
};

using WaveBytesOut = std::function<void(int64_t offset, const uint8_t* bytes, size_t count)>;

// Hands out, in order, the bytes of the wave file a Kestrelwave file holds.
// The stored header carries the encoder's size fields; a valid wave file has
// data size = sample bytes and RIFF size = file length - 8. Answers the length.
int64_t decodeWave(KfrInput& input, const WaveBytesOut& put)
{
    KfrStream& stream = input.stream;
    StreamInfo& info = stream.info();
    const DecoderHandle decoder(input.codec, stream.openDecoder());
    const int64_t sampleBytes = stream.sampleBytes();
    const int64_t pad = sampleBytes & 1;
    const int64_t length = info.headerLength + sampleBytes + pad + info.trailingLength;
    if (sampleBytes > UINT32_MAX || length - 8 > UINT32_MAX)
        throw ToolError(input.file.shownPath() + " holds more samples than a wave file can");
    std::vector<uint8_t> header(static_cast<uint8_t*>(info.header),
                                static_cast<uint8_t*>(info.header) + info.headerLength);
    setWaveSizes(header, length, sampleBytes);
    put(0, header.data(), header.size());
    int64_t position = static_cast<int64_t>(header.size());
    stream.decodeAll(decoder.get(), [&](const uint8_t* bytes, size_t count) {
        put(position, bytes, count);
        position += static_cast<int64_t>(count);
    });
    if (pad) {
        const uint8_t zero = 0;
        put(position++, &zero, 1);
    }
    if (info.trailingLength > 0)
        put(position, static_cast<const uint8_t*>(info.trailing), static_cast<size_t>(info.trailingLength));
    return length;
}

// Decodes what encode wrote and compares it with the wave file it came from.
void verify(const Options& options, PendingFile& pending, DiskFile& original)
{
    KfrInput written(options.plugin, pending.temporaryPath(), options.files[1]);
    std::vector<uint8_t> expected;
    const std::string failed =
        "verification failed: decoding " + options.files[1] + " does not give " + options.files[0] + " back";
    const int64_t length = decodeWave(written, [&](int64_t offset, const uint8_t* bytes, size_t count) {
        expected.resize(count);
        if (!original.readAt(offset, expected.data(), count) || std::memcmp(expected.data(), bytes, count) != 0)
            throw ToolError(failed + " (they differ within bytes " + std::to_string(offset) + " to "
                            + std::to_string(offset + int64_t(count)) + ")");
    });
    if (length != original.size())
        throw ToolError(failed + " (" + std::to_string(length) + " bytes, not " + std::to_string(original.size())
                        + ")");
}

int encode(ArgumentList& arguments)
{
    Options options;
    CommandLine line = commandLine("kfr encode IN.wav OUT.kfr [options]",
                                   "Compresses a PCM wave file (8, 16 or 24 bits, mono or stereo) into a Kestrelwave "
                                   "file that gives it back byte for byte.",
                                   options);
    line.add(Option::flag("--verify", 0, "decode what was written and compare it with IN before finishing",
                          [&options] { options.verify = true; }));
    if (!line.parse(arguments, options.files, 2, 2))
        return 0;
    refuseSameFile(options.files[0], options.files[1]);
    requireInputFile(options.files[0]);
    DiskFile in(options.files[0], O_RDONLY);
    WaveLayout wave = WaveLayout::of(in);
    const KfrCodec codec(options.plugin);

    PendingFile pending(options.files[1]);
    DiskFile out(pending.temporaryPath(), O_RDWR | O_CREAT | O_TRUNC, options.files[1]);
    StreamInfo info = {};
    info.channelCount = wave.channels;
    info.sampleRate = wave.rate;
    info.bitsPerSample = wave.bits;
    info.header = wave.header.data();
    info.headerLength = static_cast<int32_t>(wave.header.size());
    info.trailing = wave.trailing.empty() ? nullptr : wave.trailing.data();
    info.trailingLength = static_cast<int32_t>(wave.trailing.size());
    void* encoder = codec.format().openWrite(&out, &info);
    if (encoder == nullptr)
        throw ToolError("the codec refused " + in.path() + " (" + std::to_string(wave.channels) + " channels, "
                        + std::to_string(wave.bits) + " bits, " + std::to_string(wave.rate) + " Hz) or could not write "
                        + options.files[1]);

    const int64_t frameBytes = wave.frameBytes();
    const int64_t totalFrames = wave.frames();
    std::vector<uint8_t> packed(static_cast<size_t>(framesPerCall * frameBytes));
    std::vector<int32_t> samples(static_cast<size_t>(framesPerCall) * wave.channels);
    bool ok = true;
    for (int64_t done = 0; ok && done < totalFrames;) {
        const int32_t frames = static_cast<int32_t>(std::min<int64_t>(framesPerCall, totalFrames - done));
        in.mustRead(wave.dataOffset + done * frameBytes, packed.data(), static_cast<size_t>(frames * frameBytes));
        codechost::toCodecSamples(packed.data(), static_cast<size_t>(frames) * wave.channels, wave.bits,
                                  samples.data());
        int32_t consumed = 0;
        ok = codec.format().writeFrames(encoder, samples.data(), frames, &consumed, nullptr) == 0;
        done += frames;
    }
    ok = ok && codec.format().writeFrames(encoder, nullptr, 0, nullptr, nullptr) == 0;
    ok = codec.format().closeWrite(encoder, totalFrames) == 0 && ok;
    if (!ok)
        throw ToolError("cannot write " + options.files[1] + ": " + std::strerror(errno));
    if (options.verify)
        verify(options, pending, in);
    pending.commit();
    return 0;
}

int decode(ArgumentList& arguments)
{
    Options options;
    const CommandLine line = commandLine("kfr decode IN.kfr OUT.wav [options]",
                                         "Gives back the wave file a Kestrelwave file holds.", options);
    if (!line.parse(arguments, options.files, 2, 2))
        return 0;
    refuseSameFile(options.files[0], options.files[1]);
    requireInputFile(options.files[0]);
    KfrInput input(options.plugin, options.files[0], options.files[0]);
    PendingFile pending(options.files[1]);
    DiskFile out(pending.temporaryPath(), O_WRONLY | O_CREAT | O_TRUNC, options.files[1]);
    decodeWave(input,
               [&out](int64_t offset, const uint8_t* bytes, size_t count) { out.mustWrite(offset, bytes, count); });
    pending.commit();
    return 0;
}

int info(ArgumentList& arguments)
{
    Options options;
    const CommandLine line =
        commandLine("kfr info FILE.kfr [options]",
                    "Describes a Kestrelwave file: its format, sizes and how its blocks are coded.", options);
    if (!line.parse(arguments, options.files, 1, 1))
        return 0;
    requireInputFile(options.files[0]);
    KfrInput input(options.plugin, options.files[0], options.files[0]);
    const KfrCodec& codec = input.codec;
    DiskFile& in = input.file;
    KfrStream& stream = input.stream;
    const StreamInfo& info = stream.info();
    uint8_t header[codec::FileHeader::size];
    in.mustRead(0, header, sizeof header);
    const uint8_t* version = header + codec::FileHeader::versionOffset;

    const int64_t fileSize = in.size();
    const int64_t waveSize =
        info.headerLength + stream.sampleBytes() + (stream.sampleBytes() & 1) + info.trailingLength;
    std::printf("file               %s\n", in.path().c_str());
    std::printf("format             %s (%s), version bytes %u %u\n", codec.format().longName,
                codec.format().description, version[0], version[1]);
    std::printf("channels           %d\n", info.channelCount);
    std::printf("bits per sample    %d\n", info.bitsPerSample);
    std::printf("sample rate        %d Hz\n", info.sampleRate);
    std::printf("block length       %d frames\n", info.blockLength);
    std::printf("total frames       %" PRId64 " (%.3f s)\n", info.totalFrames,
                info.sampleRate > 0 ? static_cast<double>(info.totalFrames) / info.sampleRate : 0.0);
    std::printf("wave header        %d bytes (file offset %d)\n", info.headerLength, codec::FileHeader::size);
    std::printf("compressed stream  %" PRId64 " bytes at offset %d\n", info.streamLength, info.streamOffset);
    std::printf("trailing chunks    %d bytes\n", info.trailingLength);
    std::printf("file size          %" PRId64 " bytes; the wave file %" PRId64 " bytes\n", fileSize, waveSize);
    if (stream.sampleBytes() > 0)
        std::printf("compression        %.4f of the samples, %.4f of the wave file (%.2f : 1)\n",
                    static_cast<double>(info.streamLength) / static_cast<double>(stream.sampleBytes()),
                    static_cast<double>(fileSize) / static_cast<double>(waveSize),
                    static_cast<double>(waveSize) / static_cast<double>(fileSize));

    const DecoderHandle decoder(codec, stream.openDecoder());
    stream.decodeAll(decoder.get(), [](const uint8_t*, size_t) {});
    codec::BlockStatistics s = {};
    const bool haveStatistics = codec.statistics(decoder.get(), s);
    if (!haveStatistics) {
        std::printf("blocks             (this plug-in offers no block statistics)\n");
        return 0;
    }
    std::printf("blocks             %" PRId64 ", %" PRId64 " with the stereo difference, %" PRId64
                " shifted by 8 bits\n",
                s.blocks, s.differenceBlocks, s.shiftedBlocks);
    static const char* const codingNames[5] = {"silent", "Rice", "adaptive Rice", "fixed width", "other"};
    for (int32_t c = 0; c < info.channelCount; ++c) {
        std::printf("channel %d %s\n", c, c == 0 ? "(left)" : "(right, or the difference)");
        std::printf("  predictors      ");
        for (int p = 0; p < 16; ++p) {
            if (s.predictors[c][p] > 0)
                std::printf(" %s%d:%" PRId64, p == 15 ? ">" : "", p == 15 ? 14 : p, s.predictors[c][p]);
        }
        std::printf("\n  coding          ");
        for (int t = 0; t < 5; ++t) {
            if (s.codingTypes[c][t] > 0)
                std::printf(" %s:%" PRId64, codingNames[t], s.codingTypes[c][t]);
        }
        std::printf("\n");
    }
    return 0;
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    return arguments.runAction("kfr",
                               {{"encode", "IN.wav OUT.kfr [--verify]", "compress a wave file losslessly", encode},
                                {"decode", "IN.kfr OUT.wav", "give back the wave file", decode},
                                {"info", "FILE.kfr", "describe a Kestrelwave file", info}});
}

const CommandRegistration registration({"kfr", "Kestrelwave lossless compression through the plug-in's codec", run});

} // namespace
} // namespace voltara
