#pragma once

#include "codec/CodecInterface.h"
#include "tools/pluginhost/PluginLibrary.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

class DiskFile;

// The Kestrelwave codec of the plug-in library, registered as an audio
// editor registers it: FIO_InitPlugin with the host table over files on disk.
class KfrCodec {
public:
    // Throws ToolError when the library cannot be loaded or refuses.
    explicit KfrCodec(const std::string& libraryPath);

    const codec::FormatInfo& format() const { return format_; }
    // The decoder's block statistics, when the plug-in offers them.
    bool statistics(void* decoder, codec::BlockStatistics& out) const;

private:
    using Statistics = int32_t (*)(void*, codec::BlockStatistics*);

    pluginhost::PluginLibrary library_;
    codec::FormatInfo format_ = {};
    Statistics statistics_ = nullptr;
};

// What readInfo found in a Kestrelwave file; its blocks go back to the heap
// when this goes.
class KfrStream {
public:
    // Throws ToolError when the file is not a Kestrelwave file the codec reads.
    KfrStream(const KfrCodec& codec, DiskFile& file);
    ~KfrStream();
    KfrStream(const KfrStream&) = delete;
    KfrStream& operator=(const KfrStream&) = delete;

    codec::StreamInfo& info() { return info_; }
    const codec::StreamInfo& info() const { return info_; }
    int32_t frameBytes() const { return info_.channelCount * (info_.bitsPerSample / 8); }
    int64_t sampleBytes() const { return info_.totalFrames * frameBytes(); }

    // A decoder, or a clear refusal; closed by the caller's DecoderHandle.
    void* openDecoder();

    // Decodes every frame, handing each batch to take; throws ToolError when
    // the stream is cut short.
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
                throwCutShort(frames);
        }
    }

    static constexpr int32_t framesPerCall = 16384;

    // The error for a stream that ends after framesDecoded.
    [[noreturn]] void throwCutShort(int64_t framesDecoded) const;

private:
    const KfrCodec& codec_;
    DiskFile& file_;
    codec::StreamInfo info_ = {};
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

} // namespace voltara
