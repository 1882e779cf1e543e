#pragma once

#include <cstdint>

#include "codec/BitReader.h"
#include "codec/BlockLayout.h"
#include "codec/CodecInterface.h"
#include "codec/Predictors.h"

// The reading side of the codec: readInfo over a Kestrelwave file, and the
// decoder object behind openRead / readFrames / closeRead.
namespace voltara::codec {

// readInfo: 0, or -1 when a read fails or the header is refused (a
// block length <= 0 or above 32767, a negative frame count or stream length, more
// frames than the stream could hold, a stream beyond the file, a chunk walk that
// runs off the file). On failure nothing stays allocated.
int32_t readStreamInfo(FileHandle file, StreamInfo& info);

class Decoder {
public:
    // Whether a decoder can be made from the information: 1 or 2 channels,
    // 8, 16 or 24 bits, and the header bounds readInfo checks.
    static bool accepts(const StreamInfo& info);

    // Keeps its own copy of the callbacks: registering again (as `main` does on
    // every call) must not pull the file or the allocator from under an open handle.
    Decoder(const HostIoCallbacks& io, FileHandle file, const StreamInfo& info);

    // The callbacks this decoder reads and was allocated with.
    const HostIoCallbacks& io() const { return io_; }

    // Decodes up to frameCount frames as interleaved little-endian samples. Once
    // the stream has been found cut short or corrupt, answers -1.
    int32_t readFrames(uint8_t* destination, int32_t frameCount, double* progress);

    const BlockStatistics& statistics() const { return statistics_; }

private:
    // One predictor slot: 0 left (or only), 1 right, 2 right - left.
    struct Slot {
        History history;
        int32_t e = 0;
    };
    struct ChannelCoding {
        uint32_t predictor = 0;
        uint32_t codingType = 0;
        int32_t width = 0;         // coding type 3
        int32_t riceParameter = 0; // coding types 1 and 2 (2: the current adaptive one)
        AdaptiveRiceWindow window;
    };

    bool startBlock();
    template <uint32_t Type>
    bool readResidual(BitReader::Cache& cache, int32_t& k, AdaptiveRiceWindow& window, int32_t width, int32_t& r);
    template <uint32_t Type>
    bool readCachedResidual(BitReader::Cache& cache, int32_t& k, AdaptiveRiceWindow& window, int32_t width, int32_t& r);
    // Up to `count` frames of residuals (a mono stream's right is unused);
    // answers how many, fewer when the stream is cut short or corrupt.
    template <int32_t Channels, uint32_t Type0, uint32_t Type1>
    int32_t readResiduals(int32_t* left, int32_t* right, int32_t count);
    using ResidualLoop = int32_t (Decoder::*)(int32_t*, int32_t*, int32_t);
    // The loop for the block's coding types.
    template <int32_t Channels>
    ResidualLoop residualLoop() const;
    template <int32_t Channels, uint32_t Type0>
    static ResidualLoop residualLoopAfter(uint32_t second);
    // Up to `frames` frames of the current block; answers how many, fewer when
    // the stream is cut short or corrupt.
    template <int32_t Channels>
    int32_t decodeRun(uint8_t* out, int32_t frames);

    HostIoCallbacks io_;
    BitReader reader_;
    int64_t totalFrames_;
    int64_t framesUndecoded_;
    int64_t framesDecoded_ = 0;
    int64_t blockFramesLeft_ = 0;
    int32_t blockLength_;
    int32_t channels_;
    int32_t bytesPerSample_;
    bool difference_ = false;
    bool shifted_ = false;
    bool broken_ = false;
    Slot slots_[3];
    ChannelCoding coding_[2];
    BlockStatistics statistics_ = {};
};

} // namespace voltara::codec
