#pragma once

#include <cstddef>
#include <cstdint>

#include "common/Export.h"

// The records of the codec's file-format plug-in interface. In the 32-bit
// build every record has the host's byte layout exactly; on 64-bit builds the
// pointers widen and everything else keeps its width. A 64-bit file offset is a
// real 64-bit parameter (on i386 cdecl: two argument words, low word first).
namespace voltara::codec {

using FileHandle = void*; // opaque to the codec, handed back to the callbacks

// The host's callbacks, copied whole into one process-wide table by FIO_InitPlugin.
struct HostIoCallbacks {
    char hostName[64]; // not read by the codec
    // 0 on success, anything else on failure.
    int32_t (*readAt)(FileHandle file, int64_t offset, void* destination, int32_t byteCount);
    // 0 on success, negative on failure.
    int32_t (*writeAt)(FileHandle file, int64_t offset, const void* source, int32_t byteCount);
    int64_t (*getSize)(FileHandle file);                  // bytes
    void* (*allocate)(uint32_t byteCount, int32_t clear); // zero-filled when clear != 0; null on failure
    void* (*reallocate)(void* block, uint32_t byteCount);
    void (*release)(void* block);
    uint32_t reserved[2]; // not read by the codec
};

// What readInfo finds and openRead / openWrite consume (words of 32 bits unless said).
// 32-bit builds pack it to 4 bytes so that it is 21 words everywhere (Windows
// would otherwise pad it to a multiple of 8 for the 64-bit words).
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 4)
#endif
struct StreamInfo {
    int32_t channelCount;     // word 0: from the header, sign-extended byte
    int32_t sampleRate;       // word 1: Hz
    int64_t streamLength;     // words 2, 3: compressed bytes
    int64_t totalFrames;      // words 4, 5
    int64_t totalFramesAgain; // words 6, 7
    int32_t unused;           // word 8: not set
    int32_t streamOffset;     // word 9: file offset of the compressed stream
    int32_t blockLength;      // word 10: frames
    int32_t bitsPerSample;    // word 11: from the header, sign-extended byte
    int32_t zero[5];          // words 12 .. 16
    void* header;             // word 17: the embedded wave header (from file offset 56 up to the stream)
    int32_t headerLength;     // word 18
    void* trailing;           // word 19: the chunks after the stream, or null
    int32_t trailingLength;   // word 20: their length, or 0
};
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(pop)
#endif

using CheckFormatEntry = int32_t (*)(void* ignored, const uint8_t* firstBytes);
using ReadInfoEntry = int32_t (*)(FileHandle file, StreamInfo* info);
using OpenReadEntry = void* (*)(FileHandle file, StreamInfo* info);
// progress: frames decoded since opening / total frames.
using ReadFramesEntry = int32_t (*)(void* decoder, void* destination, int32_t frameCount, double* progress);
using CloseReadEntry = int32_t (*)(void* decoder);
using OpenWriteEntry = void* (*)(FileHandle file, StreamInfo* info);
// samples: 32-bit integers on a 24-bit scale, interleaved. Without `consumed` the call ends the stream.
using WriteFramesEntry = int32_t (*)(void* encoder, const int32_t* samples, int32_t frameCount, int32_t* consumed,
                                     int64_t* position);
using CloseWriteEntry = int32_t (*)(void* encoder, int64_t totalFrames);

// The format description the host provides (at least 460 bytes) and FIO_InitPlugin fills.
struct FormatInfo {
    int32_t interfaceNumbers[4]; // 11, 30, 16, 13: the host's to interpret
    char shortName[32];          // "kfr"
    char longName[64];           // "Kestrelwave"
    char extension[8];           // "kfr"
    char formatName[32];         // "kfr"
    char description[256];       // "Lossless Compressed Audio Format"
    CheckFormatEntry checkFormat;
    ReadInfoEntry readInfo;
    void* hostEntries[5]; // left as the host set them
    OpenReadEntry openRead;
    ReadFramesEntry readFrames;
    CloseReadEntry closeRead;
    OpenWriteEntry openWrite;
    WriteFramesEntry writeFrames;
    CloseWriteEntry closeWrite;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(HostIoCallbacks) == 96, "24 words");
static_assert(offsetof(HostIoCallbacks, readAt) == 64 && offsetof(HostIoCallbacks, writeAt) == 68
                  && offsetof(HostIoCallbacks, getSize) == 72 && offsetof(HostIoCallbacks, allocate) == 76
                  && offsetof(HostIoCallbacks, reallocate) == 80 && offsetof(HostIoCallbacks, release) == 84
                  && offsetof(HostIoCallbacks, reserved) == 88,
              "callback words 16 to 23");
static_assert(sizeof(FormatInfo) == 460, "the host's 460-byte record");
static_assert(offsetof(FormatInfo, shortName) == 16 && offsetof(FormatInfo, longName) == 48
                  && offsetof(FormatInfo, extension) == 112 && offsetof(FormatInfo, formatName) == 120
                  && offsetof(FormatInfo, description) == 152,
              "format texts");
static_assert(offsetof(FormatInfo, checkFormat) == 408 && offsetof(FormatInfo, readInfo) == 412
                  && offsetof(FormatInfo, hostEntries) == 416 && offsetof(FormatInfo, openRead) == 436
                  && offsetof(FormatInfo, readFrames) == 440 && offsetof(FormatInfo, closeRead) == 444
                  && offsetof(FormatInfo, openWrite) == 448 && offsetof(FormatInfo, writeFrames) == 452
                  && offsetof(FormatInfo, closeWrite) == 456,
              "format entries");
static_assert(offsetof(StreamInfo, sampleRate) == 4 && offsetof(StreamInfo, streamLength) == 8
                  && offsetof(StreamInfo, totalFrames) == 16 && offsetof(StreamInfo, totalFramesAgain) == 24
                  && offsetof(StreamInfo, unused) == 32 && offsetof(StreamInfo, streamOffset) == 36
                  && offsetof(StreamInfo, blockLength) == 40 && offsetof(StreamInfo, bitsPerSample) == 44
                  && offsetof(StreamInfo, zero) == 48 && offsetof(StreamInfo, header) == 68
                  && offsetof(StreamInfo, headerLength) == 72 && offsetof(StreamInfo, trailing) == 76
                  && offsetof(StreamInfo, trailingLength) == 80 && sizeof(StreamInfo) == 84,
              "stream information words 0 to 20");
#endif

// The process-wide callback table that all codec code uses: the one a host
// registered through FIO_InitPlugin, else the plug-in's own, else all null.
const HostIoCallbacks& hostIo();

// The plug-in's own registration (`main`, on every call): fills the
// description as FIO_InitPlugin does, but the callbacks (which must live as
// long as the library) serve only while no host has registered its own, so
// that a host that uses the codec and loads the effect from the same library
// keeps its files. Safe on several threads at once.
void registerPlugInCallbacks(const HostIoCallbacks& callbacks, FormatInfo& format);

// Diagnostics for `voltara kfr info`: what the blocks decoded so far chose.
struct BlockStatistics {
    int64_t blocks;
    int64_t differenceBlocks;  // stereo-difference flag set
    int64_t shiftedBlocks;     // 8-bit-shift flag set
    int64_t predictors[2][16]; // per coded channel; [15] counts numbers above 14
    int64_t codingTypes[2][5]; // per coded channel; [4] counts types above 3
};

} // namespace voltara::codec

// Registers the Kestrelwave format: copies the callbacks into the process-wide
// table (they serve from then on, whatever `main` registers later) and fills
// the description. 1 when done; 0, touching nothing, for an index
// above 0 (index 0 or a negative one selects the only format).
extern "C" VOLTARA_EXPORT int32_t FIO_InitPlugin(int32_t formatIndex, const voltara::codec::HostIoCallbacks* callbacks,
                                                 voltara::codec::FormatInfo* format);

// Beyond the host interface: copies the block statistics of an open decoder handle
// (from openRead) for the command line's `kfr info`. 0, or -1 for a null handle.
extern "C" VOLTARA_EXPORT int32_t KFR_GetBlockStatistics(void* decoder, voltara::codec::BlockStatistics* statistics);
