#pragma once

#include <cstdint>

#include "codec/BitWriter.h"
#include "codec/BlockLayout.h"
#include "codec/CodecInterface.h"
#include "codec/FileHeader.h"
#include "codec/Predictors.h"

// The writing side of the codec: the encoder object behind openWrite /
// writeFrames / closeWrite. Every choice (predictor, stereo, coding, parameter,
// block length, shift flag) is fixed by the format, so that any conforming
// encoder writes the same bytes.
namespace voltara::codec {

class Encoder {
public:
    // Block length in frames for a sample rate: rate * 256 / 44100 truncated,
    // raised to a multiple of 32, at least 32 (44100 -> 256, 48000 -> 288, 96000 -> 576).
    static int64_t blockLengthFor(int32_t sampleRate);

    // Makes an encoder through the host's allocator and writes the file header
    // and embedded wave header; null when the information is refused (channels
    // other than 1 and 2, bits other than 8, 16 and 24, a block length above
    // 32767, an embedded header that is not a "RIFF" header with chunks ending in
    // the "data" chunk header, or of odd length), memory runs out or a write fails.
    static Encoder* open(FileHandle file, const StreamInfo& info);
    // Releases the encoder and everything it allocated.
    static void destroy(Encoder* encoder);

    int32_t writeFrames(const int32_t* samples, int32_t frameCount, int32_t* consumed, int64_t* position);
    // Completes the file; the caller then destroys the encoder.
    int32_t close(int64_t totalFrames);

private:
    static constexpr int32_t maxAnalysisChannels = 3; // left, right, right - left

    Encoder() = default;
    bool allocateBuffers();
    bool encodeBlock();
    // Takes frames of input samples into the block being gathered; answers
    // the bits set in any of their values (right and difference included).
    template <int32_t Channels>
    uint32_t gather(const int32_t* samples, int32_t frames);
    template <int32_t Channels, int32_t Bits>
    uint32_t gather(const int32_t* samples, int32_t frames);
    void prepareChannel(int32_t channel, int32_t frames);
    void chooseCoding(int32_t coded, int32_t analysisChannel, int32_t frames);
    // How a coded channel's residuals go into the stream: none (silence),
    // Rice codes with each sample's parameter, or fields of a fixed width.
    enum Writing : int32_t { noWriting, riceWriting, fixedWidthWriting };
    template <int32_t Channels>
    void writeResiduals(int32_t first, int32_t second, int32_t frames);
    template <int32_t Channels, int32_t Writing0>
    void writeResiduals(int32_t second, int32_t frames);
    template <int32_t Channels, int32_t Writing0, int32_t Writing1>
    void writeResiduals(int32_t frames);
    bool writeAt(int64_t offset, const void* bytes, int32_t length);

    HostIoCallbacks io_ = {}; // its own copy, as the decoder keeps one
    FileHandle file_ = nullptr;
    FileHeader header_;
    int32_t embeddedHeaderLength_ = 0;
    int32_t channels_ = 0;
    int32_t bitsPerSample_ = 0;
    int32_t analysisChannels_ = 0;
    int32_t blockLength_ = 0;
    void* trailing_ = nullptr;
    int32_t trailingLength_ = 0;
    bool failed_ = false;

    // The block being gathered: values reduced to the file's depth.
    int32_t bufferedFrames_ = 0;
    bool shiftable_ = true; // no value of the block has a non-zero low byte

    struct AnalysisChannel {
        int32_t* values = nullptr;  // 4 history values, then the block (shifted when the flag is set)
        int32_t* scratch = nullptr; // the predictor analysis's
        History history;
        bool allZero = true;
        uint32_t costs[predictorCount] = {};
        int32_t predictor = 0;
    };
    AnalysisChannel analysis_[maxAnalysisChannels];

    struct CodedChannel {
        int32_t* residuals = nullptr; // the chosen predictor's
        CodingType codingType = silentCoding;
        int32_t parameter = 0;             // k0 (types 1, 2) or width (type 3)
        int32_t* riceParameters = nullptr; // types 1 and 2: each sample's parameter
    };
    CodedChannel coded_[2];

    BitWriter writer_;
};

} // namespace voltara::codec
