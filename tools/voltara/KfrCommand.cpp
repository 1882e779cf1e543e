#include "tools/voltara/Commands.h"

#include "codec/CodecInterface.h"
#include "tools/voltara/ArgumentList.h"
#include "tools/voltara/PendingFile.h"
#include "tools/voltara/PluginHost.h"
#include "tools/voltara/ToolError.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// `voltara kfr encode|decode|info`: the Kestrelwave codec driven only through
// the plug-in library, as a host audio editor drives it: FIO_InitPlugin with
// file-backed callbacks (64-bit offsets), then the format's entry points.
namespace voltara {
namespace {

using codec::FormatInfo;
using codec::HostIoCallbacks;
using codec::StreamInfo;

constexpr int32_t framesPerCall = 16384;

// ---- Files, as the codec's callbacks see them -------------------------------

class File {
public:
    File(const std::string& path, int flags) : path_(path), fd_(::open(path.c_str(), flags | O_CLOEXEC, 0644))
    {
        if (fd_ < 0)
            throw ToolError("cannot open " + path + ": " + std::strerror(errno));
    }
    ~File()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    const std::string& path() const { return path_; }

    bool readAt(int64_t offset, void* destination, size_t count) const
    {
        auto* out = static_cast<char*>(destination);
        while (count > 0) {
            const ssize_t got = ::pread(fd_, out, count, static_cast<off_t>(offset));
            if (got <= 0) {
                if (got < 0 && errno == EINTR)
                    continue;
                return false;
            }
            out += got, offset += got, count -= static_cast<size_t>(got);
        }
        return true;
    }

    bool writeAt(int64_t offset, const void* source, size_t count) const
    {
        const auto* in = static_cast<const char*>(source);
        while (count > 0) {
            const ssize_t put = ::pwrite(fd_, in, count, static_cast<off_t>(offset));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            in += put, offset += put, count -= static_cast<size_t>(put);
        }
        return true;
    }

    int64_t size() const
    {
        struct stat status;
        return ::fstat(fd_, &status) == 0 ? static_cast<int64_t>(status.st_size) : -1;
    }

    void mustRead(int64_t offset, void* destination, size_t count) const
    {
        if (!readAt(offset, destination, count))
            throw ToolError("cannot read " + path_ + ": " + (errno ? std::strerror(errno) : "unexpected end of file"));
    }

    void mustWrite(int64_t offset, const void* source, size_t count) const
    {
        if (!writeAt(offset, source, count))
            throw ToolError("cannot write " + path_ + ": " + std::strerror(errno));
    }

private:
    std::string path_;
    int fd_;
};

int32_t fileReadAt(void* file, int64_t offset, void* destination, int32_t count)
{
    return count >= 0 && static_cast<File*>(file)->readAt(offset, destination, static_cast<size_t>(count)) ? 0 : -1;
}

int32_t fileWriteAt(void* file, int64_t offset, const void* source, int32_t count)
{
    return count >= 0 && static_cast<File*>(file)->writeAt(offset, source, static_cast<size_t>(count)) ? 0 : -1;
}

int64_t fileSize(void* file)
{
    return static_cast<File*>(file)->size();
}

void* heapAllocate(uint32_t count, int32_t clear)
{
    return clear ? std::calloc(count ? count : 1, 1) : std::malloc(count ? count : 1);
}

void* heapReallocate(void* block, uint32_t count)
{
    return std::realloc(block, count);
}

void heapRelease(void* block)
{
    std::free(block);
}

// ---- The plug-in library ----------------------------------------------------

// The format's entry points from the plug-in, registered with file callbacks.
class KfrCodec {
public:
    explicit KfrCodec(const std::string& libraryPath)
    {
        library_ = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library_ == nullptr)
            throw ToolError("cannot load the plug-in " + libraryPath + ": " + dlerror());
        using InitPlugin = int32_t (*)(int32_t, const HostIoCallbacks*, FormatInfo*);
        const auto init = reinterpret_cast<InitPlugin>(dlsym(library_, "FIO_InitPlugin"));
        if (init == nullptr)
            throw ToolError("the plug-in " + libraryPath + " has no FIO_InitPlugin entry");
        statistics_ = reinterpret_cast<Statistics>(dlsym(library_, "KFR_GetBlockStatistics"));
        HostIoCallbacks callbacks = {};
        std::strncpy(callbacks.hostName, "voltara kfr", sizeof callbacks.hostName - 1);
        callbacks.readAt = fileReadAt;
        callbacks.writeAt = fileWriteAt;
        callbacks.getSize = fileSize;
        callbacks.allocate = heapAllocate;
        callbacks.reallocate = heapReallocate;
        callbacks.release = heapRelease;
        if (init(0, &callbacks, &format_) != 1)
            throw ToolError("the plug-in " + libraryPath + " refused to register its codec");
    }
    ~KfrCodec() { dlclose(library_); }
    KfrCodec(const KfrCodec&) = delete;
    KfrCodec& operator=(const KfrCodec&) = delete;

    const FormatInfo& format() const { return format_; }

    // The decoder's block statistics, when the plug-in offers them.
    bool statistics(void* decoder, codec::BlockStatistics& out) const
    {
        return statistics_ != nullptr && statistics_(decoder, &out) == 0;
    }

private:
    using Statistics = int32_t (*)(void*, codec::BlockStatistics*);
    void* library_ = nullptr;
    FormatInfo format_ = {};
    Statistics statistics_ = nullptr;
};

// ---- Wave files -------------------------------------------------------------

uint32_t le32(const uint8_t* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void putLe32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string chunkName(const uint8_t* id)
{
    std::string name;
    for (int i = 0; i < 4; ++i)
        name += (id[i] >= 32 && id[i] < 127) ? static_cast<char>(id[i]) : '?';
    return "\"" + name + "\"";
}

// A wave file cut where Kestrelwave cuts it: the header chunks up to and
// including the "data" chunk header, the samples, and the chunks after them.
struct WaveLayout {
    std::vector<uint8_t> header;
    int64_t dataOffset = 0;
    int64_t dataBytes = 0;
    std::vector<uint8_t> trailing;
    int32_t channels = 0, rate = 0, bits = 0;
};

WaveLayout splitWave(const File& in)
{
    const std::string& name = in.path();
    const int64_t size = in.size();
    uint8_t riff[12];
    if (size < 12 || !in.readAt(0, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0
        || std::memcmp(riff + 8, "WAVE", 4) != 0)
        throw ToolError(name + " is not a RIFF/WAVE file");
    WaveLayout wave;
    bool haveFormat = false;
    int64_t position = 12;
    for (;;) {
        uint8_t chunk[8];
        if (position + 8 > size || !in.readAt(position, chunk, 8))
            throw ToolError(name + " has no \"data\" chunk");
        const int64_t chunkSize = le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            wave.dataOffset = position + 8;
            wave.dataBytes = chunkSize;
            break;
        }
        if (chunkSize & 1)
            throw ToolError(name + ": chunk " + chunkName(chunk) + " before the samples has an odd size ("
                            + std::to_string(chunkSize)
                            + "); Kestrelwave keeps no pad bytes before the samples, "
                              "so this file cannot be stored");
        if (position + 8 + chunkSize > size)
            throw ToolError(name + ": chunk " + chunkName(chunk) + " runs past the end of the file");
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            uint8_t fmt[40] = {};
            if (chunkSize < 16)
                throw ToolError(name + ": the \"fmt \" chunk is too short");
            in.mustRead(position + 8, fmt, static_cast<size_t>(chunkSize < 40 ? chunkSize : 40));
            const uint16_t tag = le16(fmt);
            const bool extensiblePcm = tag == 0xFFFE && chunkSize >= 40 && le16(fmt + 24) == 1;
            if (tag != 1 && !extensiblePcm)
                throw ToolError(name + " holds no integer PCM samples (format tag " + std::to_string(tag)
                                + "); Kestrelwave stores 8-, 16- and 24-bit PCM");
            wave.channels = le16(fmt + 2);
            wave.rate = static_cast<int32_t>(le32(fmt + 4));
            wave.bits = le16(fmt + 14);
            const int32_t blockAlign = le16(fmt + 12);
            if (wave.bits != 8 && wave.bits != 16 && wave.bits != 24)
                throw ToolError(name + " has " + std::to_string(wave.bits)
                                + "-bit samples; Kestrelwave stores 8, 16 or 24 bits");
            if (wave.channels != 1 && wave.channels != 2)
                throw ToolError(name + " has " + std::to_string(wave.channels)
                                + " channels; Kestrelwave stores 1 or 2");
            if (blockAlign != wave.channels * wave.bits / 8)
                throw ToolError(name + ": block align " + std::to_string(blockAlign) + " does not match "
                                + std::to_string(wave.channels) + " channels of " + std::to_string(wave.bits)
                                + " bits");
            haveFormat = true;
        }
        position += 8 + chunkSize;
    }
    if (!haveFormat)
        throw ToolError(name + " has no \"fmt \" chunk before its samples");
    const int64_t frameBytes = int64_t{wave.channels} * (wave.bits / 8);
    if (wave.dataOffset + wave.dataBytes > size)
        throw ToolError(name + ": the \"data\" chunk runs past the end of the file (truncated?)");
    if (wave.dataBytes % frameBytes != 0)
        throw ToolError(name + ": the \"data\" chunk holds a partial frame");
    if (wave.dataOffset > INT32_MAX)
        throw ToolError(name + ": the header chunks are too large");
    wave.header.resize(static_cast<size_t>(wave.dataOffset));
    in.mustRead(0, wave.header.data(), wave.header.size());
    // The pad byte after odd sample data belongs to the data chunk.
    const int64_t trailingOffset = std::min(size, wave.dataOffset + wave.dataBytes + (wave.dataBytes & 1));
    if (size - trailingOffset > INT32_MAX)
        throw ToolError(name + ": the chunks after the samples are too large");
    wave.trailing.resize(static_cast<size_t>(size - trailingOffset));
    in.mustRead(trailingOffset, wave.trailing.data(), wave.trailing.size());
    return wave;
}

// Packed wave samples to the codec's 32-bit integers on the 24-bit scale.
void toCodecSamples(const uint8_t* in, size_t count, int32_t bits, int32_t* out)
{
    switch (bits) {
    case 8:
        for (size_t i = 0; i < count; ++i)
            out[i] = (int32_t{in[i]} - 128) * 65536;
        break;
    case 16:
        for (size_t i = 0; i < count; ++i)
            out[i] = static_cast<int16_t>(le16(in + 2 * i)) * 256;
        break;
    default:
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* p = in + 3 * i;
            out[i] = static_cast<int32_t>((uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 24)) >> 8;
        }
    }
}

// ---- Reading a Kestrelwave file ---------------------------------------------

// readInfo's result, whose memory blocks go back to the heap at the end.
class KfrStream {
public:
    KfrStream(const KfrCodec& codec, File& file) : codec_(codec), file_(file)
    {
        uint8_t magic[8] = {};
        if (!file.readAt(0, magic, 8) || codec.format().checkFormat(nullptr, magic) != 1)
            throw ToolError(file.path() + " is not a Kestrelwave file");
        if (codec.format().readInfo(&file, &info_) != 0) {
            info_.header = info_.trailing = nullptr;
            throw ToolError(file.path() + ": the Kestrelwave header is malformed or the file is cut short");
        }
    }
    ~KfrStream()
    {
        std::free(info_.header);
        std::free(info_.trailing);
    }
    KfrStream(const KfrStream&) = delete;
    KfrStream& operator=(const KfrStream&) = delete;

    StreamInfo& info() { return info_; }
    int32_t frameBytes() const { return info_.channelCount * (info_.bitsPerSample / 8); }
    int64_t sampleBytes() const { return info_.totalFrames * frameBytes(); }

    // A decoder, or a clear refusal; closed by the caller's DecoderHandle.
    void* openDecoder()
    {
        void* decoder = codec_.format().openRead(&file_, &info_);
        if (decoder == nullptr) {
            if (info_.channelCount != 1 && info_.channelCount != 2)
                throw ToolError(file_.path() + " has " + std::to_string(info_.channelCount)
                                + " channels; Kestrelwave decodes 1 or 2");
            if (info_.bitsPerSample != 8 && info_.bitsPerSample != 16 && info_.bitsPerSample != 24)
                throw ToolError(file_.path() + " has " + std::to_string(info_.bitsPerSample)
                                + "-bit samples; Kestrelwave decodes 8, 16 or 24 bits");
            throw ToolError(file_.path() + ": the codec could not open the stream");
        }
        return decoder;
    }

    // Decodes every frame, handing each batch to `take`; throws when the stream is cut short.
    template <class Take>
    void decodeAll(void* decoder, Take take)
    {
        std::vector<uint8_t> buffer(static_cast<size_t>(framesPerCall) * frameBytes());
        int64_t frames = 0;
        while (frames < info_.totalFrames) {
            double progress = 0.0;
            const int32_t got = codec_.format().readFrames(decoder, buffer.data(), framesPerCall, &progress);
            if (got > 0) {
                take(buffer.data(), static_cast<size_t>(got) * frameBytes());
                frames += got;
            }
            if (got < framesPerCall && frames < info_.totalFrames)
                throw ToolError(file_.path() + ": the compressed stream is cut short or corrupt after "
                                + std::to_string(frames) + " of " + std::to_string(info_.totalFrames) + " frames");
        }
    }

private:
    const KfrCodec& codec_;
    File& file_;
    StreamInfo info_ = {};
};

// Closes a decoder however the action ends.
class DecoderHandle {
public:
    DecoderHandle(const KfrCodec& codec, void* decoder) : codec_(codec), decoder_(decoder) {}
    ~DecoderHandle() { codec_.format().closeRead(decoder_); }
    DecoderHandle(const DecoderHandle&) = delete;
    DecoderHandle& operator=(const DecoderHandle&) = delete;
    void* get() const { return decoder_; }

private:
    const KfrCodec& codec_;
    void* decoder_;
};

// ---- The three actions ------------------------------------------------------

struct Options {
    std::vector<std::string> files;
    std::string plugin = PluginHost::besideExecutable();
};

Options parse(ArgumentList& arguments, size_t fileCount, const char* usage)
{
    Options options;
    while (!arguments.empty()) {
        const std::string word = arguments.take();
        if (word == "--plugin")
            options.plugin = arguments.valueOf(word);
        else if (options.files.size() < fileCount && (word.size() < 2 || word[0] != '-'))
            options.files.push_back(word);
        else
            ArgumentList::reject(word);
    }
    if (options.files.size() != fileCount)
        throw ToolError(std::string("usage: voltara ") + usage);
    return options;
}

int encode(ArgumentList& arguments)
{
    const Options options = parse(arguments, 2, "kfr encode IN.wav OUT.kfr [--plugin PATH]");
    File in(options.files[0], O_RDONLY);
    WaveLayout wave = splitWave(in);
    const KfrCodec codec(options.plugin);

    PendingFile pending(options.files[1]);
    File out(pending.temporaryPath(), O_RDWR | O_CREAT | O_TRUNC);
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

    const int32_t sampleBytes = wave.bits / 8;
    const int64_t frameBytes = int64_t{wave.channels} * sampleBytes;
    const int64_t totalFrames = wave.dataBytes / frameBytes;
    std::vector<uint8_t> packed(static_cast<size_t>(framesPerCall * frameBytes));
    std::vector<int32_t> samples(static_cast<size_t>(framesPerCall) * wave.channels);
    bool ok = true;
    for (int64_t done = 0; ok && done < totalFrames;) {
        const int32_t frames = static_cast<int32_t>(std::min<int64_t>(framesPerCall, totalFrames - done));
        in.mustRead(wave.dataOffset + done * frameBytes, packed.data(), static_cast<size_t>(frames * frameBytes));
        toCodecSamples(packed.data(), static_cast<size_t>(frames) * wave.channels, wave.bits, samples.data());
        int32_t consumed = 0;
        ok = codec.format().writeFrames(encoder, samples.data(), frames, &consumed, nullptr) == 0;
        done += frames;
    }
    ok = ok && codec.format().writeFrames(encoder, nullptr, 0, nullptr, nullptr) == 0;
    ok = codec.format().closeWrite(encoder, totalFrames) == 0 && ok;
    if (!ok)
        throw ToolError("cannot write " + options.files[1] + ": " + std::strerror(errno));
    pending.commit();
    return 0;
}

int decode(ArgumentList& arguments)
{
    const Options options = parse(arguments, 2, "kfr decode IN.kfr OUT.wav [--plugin PATH]");
    const KfrCodec codec(options.plugin);
    File in(options.files[0], O_RDONLY);
    KfrStream stream(codec, in);
    StreamInfo& info = stream.info();
    const DecoderHandle decoder(codec, stream.openDecoder());

    // The stored header carries the encoder's size fields; a valid wave file
    // has data size = sample bytes and RIFF size = file length - 8.
    const int64_t sampleBytes = stream.sampleBytes();
    const int64_t pad = sampleBytes & 1;
    const int64_t length = info.headerLength + sampleBytes + pad + info.trailingLength;
    if (sampleBytes > UINT32_MAX || length - 8 > UINT32_MAX)
        throw ToolError(in.path() + " holds more samples than a wave file can");
    std::vector<uint8_t> header(static_cast<uint8_t*>(info.header),
                                static_cast<uint8_t*>(info.header) + info.headerLength);
    putLe32(header.data() + 4, static_cast<uint32_t>(length - 8));
    putLe32(header.data() + header.size() - 4, static_cast<uint32_t>(sampleBytes));

    PendingFile pending(options.files[1]);
    File out(pending.temporaryPath(), O_WRONLY | O_CREAT | O_TRUNC);
    out.mustWrite(0, header.data(), header.size());
    int64_t position = static_cast<int64_t>(header.size());
    stream.decodeAll(decoder.get(), [&](const uint8_t* bytes, size_t count) {
        out.mustWrite(position, bytes, count);
        position += static_cast<int64_t>(count);
    });
    if (pad) {
        const uint8_t zero = 0;
        out.mustWrite(position++, &zero, 1);
    }
    if (info.trailingLength > 0)
        out.mustWrite(position, info.trailing, static_cast<size_t>(info.trailingLength));
    pending.commit();
    return 0;
}

int info(ArgumentList& arguments)
{
    const Options options = parse(arguments, 1, "kfr info FILE.kfr [--plugin PATH]");
    const KfrCodec codec(options.plugin);
    File in(options.files[0], O_RDONLY);
    KfrStream stream(codec, in);
    const StreamInfo& info = stream.info();
    uint8_t header[56];
    in.mustRead(0, header, sizeof header);

    const int64_t fileSize = in.size();
    const int64_t waveSize =
        info.headerLength + stream.sampleBytes() + (stream.sampleBytes() & 1) + info.trailingLength;
    std::printf("file               %s\n", in.path().c_str());
    std::printf("format             %s (%s), version bytes %u %u\n", codec.format().longName,
                codec.format().description, header[8], header[9]);
    std::printf("channels           %d\n", info.channelCount);
    std::printf("bits per sample    %d\n", info.bitsPerSample);
    std::printf("sample rate        %d Hz\n", info.sampleRate);
    std::printf("block length       %d frames\n", info.blockLength);
    std::printf("total frames       %" PRId64 " (%.3f s)\n", info.totalFrames,
                info.sampleRate > 0 ? static_cast<double>(info.totalFrames) / info.sampleRate : 0.0);
    std::printf("wave header        %d bytes (file offset 56)\n", info.headerLength);
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

} // namespace

int runKfrCommand(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    const std::string action = arguments.empty() ? "" : arguments.take();
    if (action == "encode")
        return encode(arguments);
    if (action == "decode")
        return decode(arguments);
    if (action == "info")
        return info(arguments);
    throw ToolError("usage: voltara kfr encode IN.wav OUT.kfr | decode IN.kfr OUT.wav | info FILE.kfr [--plugin PATH]");
}

} // namespace voltara
