#include "codec/Decoder.h"

#include "codec/BlockLayout.h"
#include "codec/FileHeader.h"
#include "common/ByteOrder.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace voltara::codec {

namespace {

// The header bounds both readInfo and openRead insist on. Every block takes at
// least two bytes of stream (three header bits, a predictor and a coding type,
// then the next block starts on a byte boundary), which bounds the frame count
// by the stream's size: a tiny file cannot make a caller decode without end.
bool headerIsSane(int32_t blockLength, int64_t totalFrames, int64_t streamLength)
{
    if (blockLength <= 0 || blockLength > FileHeader::largestBlockLength || totalFrames < 0 || streamLength < 0)
        return false;
    const int64_t blocks = totalFrames / blockLength + (totalFrames % blockLength != 0 ? 1 : 0);
    return blocks <= streamLength / 2;
}

// Reads `length` bytes at `offset` into a new block from the host's allocator.
bool readBlock(FileHandle file, int64_t offset, int32_t length, void*& block)
{
    const HostIoCallbacks& io = hostIo();
    block = io.allocate(static_cast<uint32_t>(length), 0);
    if (block == nullptr)
        return false;
    if (io.readAt(file, offset, block, length) != 0) {
        io.release(block);
        block = nullptr;
        return false;
    }
    return true;
}

} // namespace

int32_t readStreamInfo(FileHandle file, StreamInfo& info)
{
    const HostIoCallbacks& io = hostIo();
    info.header = nullptr;
    info.headerLength = 0;
    info.trailing = nullptr;
    info.trailingLength = 0;

    uint8_t bytes[FileHeader::size];
    if (io.readAt(file, 0, bytes, FileHeader::size) != 0)
        return -1;
    const FileHeader header = FileHeader::load(bytes);
    info.channelCount = header.channelCount;
    info.sampleRate = header.sampleRate;
    info.streamLength = header.streamLength;
    info.totalFrames = header.totalFrames;
    info.totalFramesAgain = info.totalFrames;
    info.blockLength = header.blockLength;
    info.bitsPerSample = header.bitsPerSample;
    std::memset(info.zero, 0, sizeof info.zero);
    if (!headerIsSane(info.blockLength, info.totalFrames, info.streamLength))
        return -1;

    // Walk the embedded wave header's chunks from past its "RIFF" header to the
    // "data" chunk, never past the end of the file.
    const int64_t fileSize = io.getSize(file);
    int64_t position = FileHeader::size + 12;
    for (;;) {
        if (position > fileSize - 8)
            return -1;
        uint8_t chunk[8];
        if (io.readAt(file, position, chunk, 8) != 0)
            return -1;
        if (std::memcmp(chunk, "data", 4) == 0)
            break;
        position += 8 + static_cast<int64_t>(littleEndian32(chunk + 4));
    }
    const int64_t streamOffset = position + 8;
    if (streamOffset > std::numeric_limits<int32_t>::max() || info.streamLength > fileSize - streamOffset)
        return -1;
    info.streamOffset = static_cast<int32_t>(streamOffset);

    const int64_t trailingLength = fileSize - streamOffset - info.streamLength - (info.streamLength & 1);
    if (trailingLength > std::numeric_limits<int32_t>::max())
        return -1;
    if (!readBlock(file, FileHeader::size, info.streamOffset - FileHeader::size, info.header))
        return -1;
    info.headerLength = info.streamOffset - FileHeader::size;
    if (trailingLength > 0) {
        if (!readBlock(file, fileSize - trailingLength, static_cast<int32_t>(trailingLength), info.trailing)) {
            io.release(info.header);
            info.header = nullptr;
            info.headerLength = 0;
            return -1;
        }
        info.trailingLength = static_cast<int32_t>(trailingLength);
    }
    return 0;
}

bool Decoder::accepts(const StreamInfo& info)
{
    return (info.channelCount == 1 || info.channelCount == 2)
           && (info.bitsPerSample == 8 || info.bitsPerSample == 16 || info.bitsPerSample == 24)
           && info.streamOffset >= 0 && headerIsSane(info.blockLength, info.totalFrames, info.streamLength);
}

Decoder::Decoder(const HostIoCallbacks& io, FileHandle file, const StreamInfo& info)
    : io_(io), totalFrames_(info.totalFrames), framesUndecoded_(info.totalFrames), blockLength_(info.blockLength),
      channels_(info.channelCount), bytesPerSample_(info.bitsPerSample / 8)
{
    reader_.open(io_, file, info.streamOffset, info.streamLength);
}

bool Decoder::startBlock()
{
    reader_.alignToByte();
    uint32_t flags;
    if (!reader_.readBits(blockFlagBits, flags))
        return false;
    difference_ = channels_ == 2 && (flags & differenceFlag) != 0;
    shifted_ = (flags & shiftFlag) != 0;
    for (int32_t c = 0; c < channels_; ++c) {
        ChannelCoding& coding = coding_[c];
        if (!reader_.readRice(predictorRiceParameter, coding.predictor)
            || !reader_.readRice(codingTypeRiceParameter, coding.codingType))
            return false;
        if (coding.codingType != silentCoding && coding.codingType < codingTypeCount) {
            uint32_t parameter;
            if (!reader_.readRice(codingParameterRiceParameter, parameter) || parameter > 32)
                return false;
            (coding.codingType == fixedWidthCoding ? coding.width : coding.riceParameter) =
                static_cast<int32_t>(parameter);
        }
        coding.window.reset();
        ++statistics_.predictors[c][coding.predictor < predictorCount ? coding.predictor : 15];
        ++statistics_.codingTypes[c][coding.codingType < codingTypeCount ? coding.codingType : codingTypeCount];
    }
    for (Slot& slot : slots_)
        slot.e = 0;
    blockFramesLeft_ = framesUndecoded_ < blockLength_ ? framesUndecoded_ : blockLength_;
    ++statistics_.blocks;
    statistics_.differenceBlocks += difference_;
    statistics_.shiftedBlocks += shifted_;
    return true;
}

// A channel's next residual by its coding type (a type above 3 reads as 0:
// none): its Rice parameter, the adaptive window and the field width go with it.
template <uint32_t Type>
inline bool Decoder::readResidual(BitReader::Cache& cache, int32_t& k, AdaptiveRiceWindow& window, int32_t width,
                                  int32_t& r)
{
    if constexpr (Type == riceCoding) {
        return reader_.readSignedRice(cache, k, r);
    } else if constexpr (Type == adaptiveRiceCoding) {
        if (!reader_.readSignedRice(cache, k, r))
            return false;
        k = window.next(magnitudeOf(r));
        return true;
    } else if constexpr (Type == fixedWidthCoding) {
        if (!reader_.require(cache, width))
            return false;
        const uint32_t field = BitReader::field(cache, width);
        const int32_t unused = 32 - width;
        r = width == 0 ? 0 : static_cast<int32_t>(field << unused) >> unused;
        return true;
    } else {
        r = 0; // silence, and the types that carry no bits
        return true;
    }
}

// The same from a cache topped up straight from the buffer, once the
// channel's adaptive window is full; false, consuming nothing, when the cache
// does not hold the code.
template <uint32_t Type>
inline bool Decoder::readCachedResidual(BitReader::Cache& cache, int32_t& k, AdaptiveRiceWindow& window, int32_t width,
                                        int32_t& r)
{
    if constexpr (Type == riceCoding || Type == adaptiveRiceCoding) {
        const BitReader::Cache before = cache;
        uint32_t magnitude;
        if (!BitReader::cachedSignedRice<Type == riceCoding>(cache, k, r, magnitude))
            return false;
        if constexpr (Type == adaptiveRiceCoding) {
            // A magnitude beyond 2^31 (no encoder writes one) wraps in r: the
            // careful way takes |r|.
            if (magnitude > 0x80000000u) {
                cache = before;
                return false;
            }
            k = window.nextOfFull(magnitude);
        }
        return true;
    } else if constexpr (Type == fixedWidthCoding) {
        if (width > cache.count)
            return false;
        return readResidual<Type>(cache, k, window, width, r);
    } else {
        return readResidual<Type>(cache, k, window, width, r);
    }
}

// One loop per pair of coding types, so that what the loop keeps (the bits,
// each channel's parameter and window) stays in registers. Frames go the fast
// way (one top-up straight from the buffer, then codes the cache holds) while
// the buffer has the bytes and the adaptive windows are full; any other frame,
// or the rest of one whose code the cache did not hold, goes the careful way.
template <int32_t Channels, uint32_t Type0, uint32_t Type1>
int32_t Decoder::readResiduals(int32_t* left, int32_t* right, int32_t count)
{
    BitReader::Cache cache = reader_.take();
    ChannelCoding& first = coding_[0];
    ChannelCoding& second = coding_[1];
    int32_t k0 = first.riceParameter, k1 = second.riceParameter;
    AdaptiveRiceWindow window0 = first.window, window1 = second.window;
    const int32_t width0 = first.width, width1 = second.width;
    int32_t n = 0;
    while (n < count) {
        bool firstRead = false;
        if ((Type0 != adaptiveRiceCoding || window0.full()) && (Type1 != adaptiveRiceCoding || window1.full())) {
            const uint8_t* next = reader_.nextByte();
            const int64_t fast = std::min<int64_t>(count - n, reader_.topUpsAhead());
            const int32_t end = n + static_cast<int32_t>(fast);
            for (; n < end; ++n) {
                if (Channels == 2 || cache.count < 32) // two codes nearly always need it
                    BitReader::topUp(cache, next);
                if (!readCachedResidual<Type0>(cache, k0, window0, width0, left[n]))
                    break;
                if (Channels == 2 && !readCachedResidual<Type1>(cache, k1, window1, width1, right[n])) {
                    firstRead = true;
                    break;
                }
            }
            reader_.resumeAt(next);
            if (n == count)
                break;
        }
        if (!firstRead && !readResidual<Type0>(cache, k0, window0, width0, left[n]))
            break;
        if (Channels == 2 && !readResidual<Type1>(cache, k1, window1, width1, right[n]))
            break;
        ++n;
    }
    reader_.put(cache);
    first.riceParameter = k0;
    first.window = window0;
    second.riceParameter = k1;
    second.window = window1;
    return n;
}

template <int32_t Channels, uint32_t Type0>
Decoder::ResidualLoop Decoder::residualLoopAfter(uint32_t second)
{
    if constexpr (Channels == 1)
        return &Decoder::readResiduals<1, Type0, silentCoding>;
    switch (second) {
    case riceCoding: return &Decoder::readResiduals<2, Type0, riceCoding>;
    case adaptiveRiceCoding: return &Decoder::readResiduals<2, Type0, adaptiveRiceCoding>;
    case fixedWidthCoding: return &Decoder::readResiduals<2, Type0, fixedWidthCoding>;
    default: return &Decoder::readResiduals<2, Type0, silentCoding>;
    }
}

template <int32_t Channels>
Decoder::ResidualLoop Decoder::residualLoop() const
{
    const uint32_t second = Channels == 2 ? coding_[1].codingType : silentCoding;
    switch (coding_[0].codingType) {
    case riceCoding: return residualLoopAfter<Channels, riceCoding>(second);
    case adaptiveRiceCoding: return residualLoopAfter<Channels, adaptiveRiceCoding>(second);
    case fixedWidthCoding: return residualLoopAfter<Channels, fixedWidthCoding>(second);
    default: return residualLoopAfter<Channels, silentCoding>(second);
    }
}

namespace {

// Frames decoded at a time: their residuals first, in stream order, then each
// channel's samples, then the packed bytes.
constexpr int32_t chunkFrames = 256;

// Samples as little-endian bytes (8 bits: offset by 128). A 24-bit value goes
// out as one wider store whose spare high bytes the next value's store
// overwrites; only the last of a run is stored at its own width.
template <int32_t BytesPerSample>
void pack(const int32_t* samples, int32_t count, uint8_t* out)
{
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t x = static_cast<uint32_t>(samples[i]);
        uint8_t* const at = out + BytesPerSample * i;
        if constexpr (BytesPerSample == 1) {
            *at = static_cast<uint8_t>(x + 128);
        } else if constexpr (BytesPerSample == 2) {
            const uint16_t low = static_cast<uint16_t>(x);
            std::memcpy(at, &low, 2);
        } else if (i + 1 < count) {
            std::memcpy(at, &x, 4);
        } else {
            std::memcpy(at, &x, 3);
        }
    }
}

// Two channels' samples as interleaved frames, the same bytes as pack gives
// for them one after the other.
template <int32_t BytesPerSample>
void packFrames(const int32_t* left, const int32_t* right, int32_t count, uint8_t* out)
{
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t x0 = static_cast<uint32_t>(left[i]), x1 = static_cast<uint32_t>(right[i]);
        uint8_t* const at = out + 2 * BytesPerSample * i;
        if constexpr (BytesPerSample == 1) {
            const uint16_t frame = static_cast<uint16_t>(((x0 + 128) & 0xFF) | ((x1 + 128) & 0xFF) << 8);
            std::memcpy(at, &frame, 2);
        } else if constexpr (BytesPerSample == 2) {
            const uint32_t frame = (x0 & 0xFFFF) | x1 << 16;
            std::memcpy(at, &frame, 4);
        } else {
            const uint64_t frame = (x0 & 0xFFFFFF) | uint64_t{x1 & 0xFFFFFF} << 24;
            if (i + 1 < count)
                std::memcpy(at, &frame, 8);
            else
                std::memcpy(at, &frame, 6);
        }
    }
}

void pack(const int32_t* samples, int32_t count, int32_t bytesPerSample, uint8_t* out)
{
    switch (bytesPerSample) {
    case 1: pack<1>(samples, count, out); break;
    case 2: pack<2>(samples, count, out); break;
    default: pack<3>(samples, count, out); break;
    }
}

void packFrames(const int32_t* left, const int32_t* right, int32_t count, int32_t bytesPerSample, uint8_t* out)
{
    switch (bytesPerSample) {
    case 1: packFrames<1>(left, right, count, out); break;
    case 2: packFrames<2>(left, right, count, out); break;
    default: packFrames<3>(left, right, count, out); break;
    }
}

} // namespace

template <int32_t Channels>
int32_t Decoder::decodeRun(uint8_t* out, int32_t frames)
{
    const int32_t shift = shifted_ ? 8 : 0; // histories hold the values before the x 256
    int32_t residuals[Channels][chunkFrames];
    int32_t samples[Channels][chunkFrames];
    int32_t done = 0;
    bool intact = true;
    while (intact && done < frames) {
        const int32_t count = frames - done < chunkFrames ? frames - done : chunkFrames;
        const int32_t n = (this->*residualLoop<Channels>())(residuals[0], residuals[Channels - 1], count);
        intact = n == count;

        // Silence restores as predictor 0 with residual 0; other types without
        // bits as their predictor with residual 0.
        uint32_t predictor[Channels];
        RestoreRun runs[Channels];
        for (int32_t c = 0; c < Channels; ++c) {
            if (coding_[c].codingType == silentCoding)
                std::fill(residuals[c], residuals[c] + n, 0);
            predictor[c] = coding_[c].codingType == silentCoding ? 0 : coding_[c].predictor;
            // The right channel's coded slot is the difference's or the right's.
            Slot& slot = slots_[c == 0 ? 0 : difference_ ? 2 : 1];
            runs[c] = {&slot.history, &slot.e, residuals[c], samples[c]};
        }
        if (Channels == 2)
            restorePair(predictor[0], predictor[Channels - 1], runs, n, shift);
        else
            restoreRuns(predictor[0], runs, 1, n, shift);
        if constexpr (Channels == 1) {
            pack(samples[0], n, bytesPerSample_, out + static_cast<size_t>(done) * bytesPerSample_);
        } else {
            int32_t* const left = samples[0];
            int32_t* const right = samples[Channels - 1];
            if (difference_) {
                for (int32_t i = 0; i < n; ++i)
                    right[i] = wrapAdd(left[i], right[i]);
            }
            // The other slot takes what the coded value makes with the left:
            // the right channel or the difference. Only its last four count.
            Slot& other = slots_[difference_ ? 1 : 2];
            for (int32_t i = n > 4 ? n - 4 : 0; i < n; ++i)
                other.history.push((difference_ ? right[i] : wrapSub(right[i], left[i])) >> shift);
            packFrames(left, right, n, bytesPerSample_, out + static_cast<size_t>(done) * 2 * bytesPerSample_);
        }
        done += n;
    }
    return done;
}

int32_t Decoder::readFrames(uint8_t* destination, int32_t frameCount, double* progress)
{
    if (broken_)
        return -1;
    const int32_t frameBytes = channels_ * bytesPerSample_;
    int32_t done = 0;
    if (destination != nullptr) {
        while (done < frameCount && framesUndecoded_ > 0) {
            if (blockFramesLeft_ == 0 && !startBlock()) {
                broken_ = true;
                break;
            }
            const int32_t wanted = static_cast<int32_t>(std::min<int64_t>(frameCount - done, blockFramesLeft_));
            uint8_t* const out = destination + static_cast<size_t>(done) * frameBytes;
            const int32_t decoded = channels_ == 2 ? decodeRun<2>(out, wanted) : decodeRun<1>(out, wanted);
            done += decoded;
            framesDecoded_ += decoded;
            framesUndecoded_ -= decoded;
            blockFramesLeft_ -= decoded;
            if (decoded < wanted) {
                broken_ = true; // cut short or corrupt: no more frames from this handle
                break;
            }
        }
    }
    if (progress != nullptr)
        *progress = totalFrames_ > 0 ? static_cast<double>(framesDecoded_) / static_cast<double>(totalFrames_) : 1.0;
    return done;
}

} // namespace voltara::codec
