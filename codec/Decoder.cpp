#include "codec/Decoder.h"

#include "codec/BlockLayout.h"
#include "codec/FileHeader.h"
#include "common/ByteOrder.h"

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

inline bool Decoder::decodeSample(ChannelCoding& coding, Slot& slot, int32_t& x)
{
    int32_t r = 0;
    switch (coding.codingType) {
    case silentCoding: x = 0; return true;
    case riceCoding:
    case adaptiveRiceCoding:
        if (!reader_.readSignedRice(coding.riceParameter, r))
            return false;
        break;
    case fixedWidthCoding: {
        uint32_t field;
        if (!reader_.readBits(coding.width, field))
            return false;
        const int32_t unused = 32 - coding.width;
        r = coding.width == 0 ? 0 : static_cast<int32_t>(field << unused) >> unused;
        break;
    }
    default: break; // other coding types carry no bits: residual 0
    }
    x = restoreSample(coding.predictor, slot.history, slot.e, r);
    if (coding.codingType == adaptiveRiceCoding)
        coding.riceParameter = coding.window.next(magnitudeOf(r));
    if (shifted_)
        x = static_cast<int32_t>(static_cast<uint32_t>(x) << 8);
    return true;
}

namespace {

inline void storeSample(uint8_t* out, int32_t bytesPerSample, int32_t x)
{
    switch (bytesPerSample) {
    case 1: out[0] = static_cast<uint8_t>(static_cast<uint32_t>(x) + 128); break;
    case 2:
        out[0] = static_cast<uint8_t>(x);
        out[1] = static_cast<uint8_t>(x >> 8);
        break;
    default:
        out[0] = static_cast<uint8_t>(x);
        out[1] = static_cast<uint8_t>(x >> 8);
        out[2] = static_cast<uint8_t>(x >> 16);
        break;
    }
}

} // namespace

inline bool Decoder::decodeFrame(uint8_t* out)
{
    const int32_t shift = shifted_ ? 8 : 0; // histories hold the values before the x 256
    int32_t left;
    if (!decodeSample(coding_[0], slots_[0], left))
        return false;
    slots_[0].history.push(left >> shift);
    storeSample(out, bytesPerSample_, left);
    if (channels_ == 2) {
        int32_t coded;
        if (!decodeSample(coding_[1], slots_[difference_ ? 2 : 1], coded))
            return false;
        const int32_t right = difference_ ? wrapAdd(left, coded) : coded;
        const int32_t difference = difference_ ? coded : wrapSub(coded, left);
        slots_[1].history.push(right >> shift);
        slots_[2].history.push(difference >> shift);
        storeSample(out + bytesPerSample_, bytesPerSample_, right);
    }
    return true;
}

int32_t Decoder::readFrames(uint8_t* destination, int32_t frameCount, double* progress)
{
    if (broken_)
        return -1;
    const int32_t frameBytes = channels_ * bytesPerSample_;
    int32_t done = 0;
    if (destination != nullptr) {
        while (done < frameCount && framesUndecoded_ > 0) {
            if ((blockFramesLeft_ == 0 && !startBlock())
                || !decodeFrame(destination + static_cast<size_t>(done) * frameBytes)) {
                broken_ = true; // cut short or corrupt: no more frames from this handle
                break;
            }
            ++done;
            ++framesDecoded_;
            --framesUndecoded_;
            --blockFramesLeft_;
        }
    }
    if (progress != nullptr)
        *progress = totalFrames_ > 0 ? static_cast<double>(framesDecoded_) / static_cast<double>(totalFrames_) : 1.0;
    return done;
}

} // namespace voltara::codec
