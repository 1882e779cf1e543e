#include "codec/Encoder.h"

#include "common/ByteOrder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>

namespace voltara::codec {

namespace {

// An embedded wave header must be what readInfo can walk: a 12-byte "RIFF"
// header, then chunks (no pad bytes) ending exactly with the "data" chunk
// header. Its length must be even too: closeWrite pads by the parity of the
// file position, readInfo by the parity of the stream length, and the two
// agree only then (otherwise the trailing chunks would be read one byte off).
bool walksToDataChunk(const uint8_t* header, int32_t length)
{
    if (header == nullptr || length < 20 || length % 2 != 0)
        return false;
    int64_t position = 12;
    while (position + 8 <= length) {
        if (std::memcmp(header + position, "data", 4) == 0)
            return position + 8 == length;
        uint32_t size;
        std::memcpy(&size, header + position + 4, 4); // little-endian
        position += 8 + int64_t{size};
    }
    return false;
}

// A sample on the 24-bit scale reduced to the file's depth (and kept within it).
inline int32_t reduceToDepth(int32_t sample, int32_t bitsPerSample)
{
    switch (bitsPerSample) {
    case 8: return static_cast<int8_t>(sample >> 16);
    case 16: return static_cast<int16_t>(sample >> 8);
    default: return static_cast<int32_t>(static_cast<uint32_t>(sample) << 8) >> 8;
    }
}

inline int32_t bitLength(uint32_t magnitude)
{
    return magnitude == 0 ? 0 : 32 - __builtin_clz(magnitude);
}

} // namespace

int64_t Encoder::blockLengthFor(int32_t sampleRate)
{
    int64_t length = static_cast<int64_t>(sampleRate * 0.005804988662131519); // 256 / 44100
    if (length % 32 != 0)
        length += 32 - length % 32;
    return length < 32 ? 32 : length;
}

Encoder* Encoder::open(FileHandle file, const StreamInfo& info)
{
    const HostIoCallbacks io = hostIo(); // the encoder keeps this copy
    const int64_t blockLength = blockLengthFor(info.sampleRate);
    if ((info.channelCount != 1 && info.channelCount != 2)
        || (info.bitsPerSample != 8 && info.bitsPerSample != 16 && info.bitsPerSample != 24)
        || blockLength > FileHeader::largestBlockLength
        || !walksToDataChunk(static_cast<const uint8_t*>(info.header), info.headerLength) || info.trailingLength < 0
        || (info.trailingLength > 0 && info.trailing == nullptr))
        return nullptr;

    void* memory = io.allocate(sizeof(Encoder), 1);
    if (memory == nullptr)
        return nullptr;
    Encoder* encoder = new (memory) Encoder();
    encoder->io_ = io;
    encoder->file_ = file;
    encoder->channels_ = info.channelCount;
    encoder->bitsPerSample_ = info.bitsPerSample;
    encoder->analysisChannels_ = info.channelCount == 2 ? 3 : 1;
    encoder->blockLength_ = static_cast<int32_t>(blockLength);
    encoder->embeddedHeaderLength_ = info.headerLength;
    if (!encoder->allocateBuffers()) {
        destroy(encoder);
        return nullptr;
    }
    if (info.trailingLength > 0) {
        encoder->trailing_ = encoder->io_.allocate(static_cast<uint32_t>(info.trailingLength), 0);
        if (encoder->trailing_ == nullptr) {
            destroy(encoder);
            return nullptr;
        }
        std::memcpy(encoder->trailing_, info.trailing, static_cast<size_t>(info.trailingLength));
        encoder->trailingLength_ = info.trailingLength;
    }

    FileHeader& header = encoder->header_;
    header.bitsPerSample = info.bitsPerSample;
    header.channelCount = info.channelCount;
    header.sampleRate = info.sampleRate;
    header.blockLength = static_cast<int32_t>(blockLength);
    uint8_t bytes[FileHeader::size];
    header.store(bytes);
    if (!encoder->writeAt(0, bytes, FileHeader::size)
        || !encoder->writeAt(FileHeader::size, info.header, info.headerLength)) {
        destroy(encoder);
        return nullptr;
    }
    encoder->writer_.open(encoder->io_, file, FileHeader::size + int64_t{info.headerLength});
    return encoder;
}

bool Encoder::allocateBuffers()
{
    // Per analysis channel: 4 history values and a block, and the predictor
    // analysis's scratch; per coded channel: the chosen predictor's residuals
    // and a parameter per sample.
    const size_t block = static_cast<size_t>(blockLength_);
    const size_t perChannel = 4 + block + chainedScratchPerFrame * block;
    const size_t words = analysisChannels_ * perChannel + 2 * 2 * block;
    int32_t* memory = static_cast<int32_t*>(io_.allocate(static_cast<uint32_t>(words * sizeof(int32_t)), 1));
    if (memory == nullptr)
        return false;
    for (int32_t a = 0; a < analysisChannels_; ++a) {
        analysis_[a].values = memory + a * perChannel;
        analysis_[a].scratch = analysis_[a].values + 4 + block;
    }
    int32_t* coded = memory + analysisChannels_ * perChannel;
    for (CodedChannel& c : coded_) {
        c.residuals = coded;
        c.riceParameters = coded + block;
        coded += 2 * block;
    }
    return true;
}

void Encoder::destroy(Encoder* encoder)
{
    if (encoder == nullptr)
        return;
    const HostIoCallbacks io = encoder->io_;
    if (encoder->analysis_[0].values != nullptr)
        io.release(encoder->analysis_[0].values);
    if (encoder->trailing_ != nullptr)
        io.release(encoder->trailing_);
    encoder->~Encoder();
    io.release(encoder);
}

bool Encoder::writeAt(int64_t offset, const void* bytes, int32_t length)
{
    if (length > 0 && io_.writeAt(file_, offset, bytes, length) != 0)
        failed_ = true;
    return !failed_;
}

int32_t Encoder::writeFrames(const int32_t* samples, int32_t frameCount, int32_t* consumed, int64_t* position)
{
    if (failed_ || (frameCount > 0 && samples == nullptr))
        return -1;
    const int32_t frames = frameCount > 0 ? frameCount : 0; // a count <= 0 takes nothing
    for (int32_t taken = 0; taken < frames;) {
        const int32_t run = std::min(frames - taken, blockLength_ - bufferedFrames_);
        const int32_t* const from = samples + static_cast<size_t>(taken) * channels_;
        const uint32_t lowBits = channels_ == 2 ? gather<2>(from, run) : gather<1>(from, run);
        if ((lowBits & 0xFF) != 0)
            shiftable_ = false;
        taken += run;
        bufferedFrames_ += run;
        if (bufferedFrames_ == blockLength_ && !encodeBlock())
            return -1;
    }
    if (consumed != nullptr) {
        *consumed = frames;
    } else {
        // The end of the stream: the partial block (never an empty one), then
        // every byte up to the next byte boundary.
        if (bufferedFrames_ > 0 && !encodeBlock())
            return -1;
        writer_.alignToByte();
        if (!writer_.finish())
            failed_ = true;
    }
    if (position != nullptr)
        *position = writer_.position();
    return failed_ ? -1 : 0;
}

template <int32_t Channels, int32_t Bits>
uint32_t Encoder::gather(const int32_t* samples, int32_t frames)
{
    int32_t* const left = analysis_[0].values + 4 + bufferedFrames_;
    int32_t* const right = analysis_[Channels - 1].values + 4 + bufferedFrames_;
    int32_t* const difference = analysis_[2 * Channels - 2].values + 4 + bufferedFrames_;
    uint32_t lowBits = 0;
    for (int32_t f = 0; f < frames; ++f) {
        const int32_t l = reduceToDepth(samples[Channels * f], Bits);
        left[f] = l;
        lowBits |= static_cast<uint32_t>(l);
        if constexpr (Channels == 2) {
            const int32_t r = reduceToDepth(samples[2 * f + 1], Bits);
            const int32_t d = wrapSub(r, l);
            right[f] = r;
            difference[f] = d;
            lowBits |= static_cast<uint32_t>(r | d);
        }
    }
    return lowBits;
}

template <int32_t Channels>
uint32_t Encoder::gather(const int32_t* samples, int32_t frames)
{
    switch (bitsPerSample_) {
    case 8: return gather<Channels, 8>(samples, frames);
    case 16: return gather<Channels, 16>(samples, frames);
    default: return gather<Channels, 24>(samples, frames);
    }
}

void Encoder::prepareChannel(int32_t channel, int32_t frames)
{
    AnalysisChannel& a = analysis_[channel];
    int32_t* v = a.values; // v[0 .. 3] = prev4 .. prev1, then the block
    v[0] = a.history.prev4;
    v[1] = a.history.prev3;
    v[2] = a.history.prev2;
    v[3] = a.history.prev1;
    int32_t any = 0;
    if (shiftable_) {
        for (int32_t i = 4; i < 4 + frames; ++i)
            any |= v[i] = v[i] >> 8;
    } else {
        for (int32_t i = 4; i < 4 + frames; ++i)
            any |= v[i];
    }
    a.allZero = any == 0;
    if (a.allZero) {
        a.predictor = 0;
        a.costs[0] = 0;
    } else {
        predictorCosts(v + 4, frames, a.costs, a.scratch);
        a.predictor = 0;
        for (int32_t p = 1; p < predictorCount; ++p) {
            if (a.costs[p] < a.costs[a.predictor])
                a.predictor = p;
        }
    }
    a.history.prev1 = v[frames + 3];
    a.history.prev2 = v[frames + 2];
    a.history.prev3 = v[frames + 1];
    a.history.prev4 = v[frames];
}

void Encoder::chooseCoding(int32_t coded, int32_t analysisChannel, int32_t frames)
{
    const AnalysisChannel& a = analysis_[analysisChannel];
    CodedChannel& c = coded_[coded];
    if (a.allZero) {
        c.codingType = silentCoding;
        c.parameter = 0;
        return;
    }
    int32_t* const r = c.residuals;
    blockResiduals(a.predictor, a.values + 4, frames, a.scratch, r);
    const uint32_t cost = a.costs[a.predictor];
    const int32_t k0 = riceParameterForMean(cost / static_cast<uint32_t>(frames), static_cast<double>(cost) / frames);
    // Each code costs (|r| >> k) + k + 2 bits: the sums of the shifted
    // magnitudes and of the parameters, and 2 bits a sample.
    uint64_t fixedShifted = 0, adaptiveShifted = 0, adaptiveParameters = 0;
    uint32_t allBits = 0;
    for (int32_t i = 0; i < frames; ++i) {
        const uint32_t m = magnitudeOf(r[i]);
        fixedShifted += m >> k0;
        allBits |= m;
    }
    AdaptiveRiceWindow window;
    int32_t k = k0;
    for (int32_t i = 0; i < frames; ++i) {
        const uint32_t m = magnitudeOf(r[i]);
        adaptiveShifted += m >> k;
        adaptiveParameters += static_cast<uint32_t>(k);
        c.riceParameters[i] = k;
        k = window.next(m);
    }
    const uint64_t fixedRiceCost = fixedShifted + static_cast<uint64_t>(frames) * static_cast<uint32_t>(k0 + 2);
    const uint64_t adaptiveCost = adaptiveShifted + adaptiveParameters + 2 * static_cast<uint64_t>(frames);
    // The largest bit length of any |r| is the bit length of their bitwise or.
    const int32_t width = bitLength(allBits) + 1;
    const uint64_t fixedWidthCost = static_cast<uint64_t>(frames) * width;
    if (adaptiveCost < fixedRiceCost && adaptiveCost < fixedWidthCost) {
        c.codingType = adaptiveRiceCoding;
        c.parameter = k0;
    } else if (fixedWidthCost < fixedRiceCost) {
        c.codingType = fixedWidthCoding;
        c.parameter = width;
    } else {
        c.codingType = riceCoding;
        c.parameter = k0;
        std::fill(c.riceParameters, c.riceParameters + frames, k0);
    }
}

bool Encoder::encodeBlock()
{
    const int32_t frames = bufferedFrames_;
    for (int32_t a = 0; a < analysisChannels_; ++a)
        prepareChannel(a, frames);

    // Stereo: code the difference instead of the right channel when it is silent or cheaper.
    int32_t codedFrom[2] = {0, 1};
    bool difference = false;
    if (analysisChannels_ == 3) {
        const AnalysisChannel& right = analysis_[1];
        const AnalysisChannel& diff = analysis_[2];
        difference = diff.allZero || diff.costs[diff.predictor] < right.costs[right.predictor];
        codedFrom[1] = difference ? 2 : 1;
    }
    for (int32_t c = 0; c < channels_; ++c)
        chooseCoding(c, codedFrom[c], frames);

    writer_.alignToByte();
    writer_.writeBits((difference ? differenceFlag : 0u) | (shiftable_ ? shiftFlag : 0u), blockFlagBits);
    for (int32_t c = 0; c < channels_; ++c) {
        writer_.writeRice(static_cast<uint32_t>(analysis_[codedFrom[c]].predictor), predictorRiceParameter);
        writer_.writeRice(coded_[c].codingType, codingTypeRiceParameter);
        if (coded_[c].codingType != silentCoding)
            writer_.writeRice(static_cast<uint32_t>(coded_[c].parameter), codingParameterRiceParameter);
    }
    const auto writing = [this](int32_t c) {
        const uint32_t type = coded_[c].codingType;
        return type == fixedWidthCoding ? fixedWidthWriting : type == silentCoding ? noWriting : riceWriting;
    };
    if (channels_ == 1)
        writeResiduals<1>(writing(0), noWriting, frames);
    else
        writeResiduals<2>(writing(0), writing(1), frames);
    bufferedFrames_ = 0;
    shiftable_ = true;
    if (writer_.failed())
        failed_ = true;
    return !failed_;
}

// One loop per pair of ways to write, so that the accumulator and what each
// channel needs stay in registers.
template <int32_t Channels, int32_t Writing0, int32_t Writing1>
void Encoder::writeResiduals(int32_t frames)
{
    BitWriter::Accumulator bits = writer_.take();
    const CodedChannel& first = coded_[0];
    const CodedChannel& second = coded_[1];
    const auto write = [&](auto writing, const CodedChannel& coded, int32_t i) {
        if constexpr (decltype(writing)::value == riceWriting)
            writer_.writeSignedRice(bits, coded.residuals[i], coded.riceParameters[i]);
        else if constexpr (decltype(writing)::value == fixedWidthWriting)
            writer_.writeBits(bits, static_cast<uint32_t>(coded.residuals[i]), coded.parameter);
    };
    for (int32_t i = 0; i < frames; ++i) {
        write(std::integral_constant<int32_t, Writing0>(), first, i);
        if constexpr (Channels == 2)
            write(std::integral_constant<int32_t, Writing1>(), second, i);
    }
    writer_.put(bits);
}

template <int32_t Channels, int32_t Writing0>
void Encoder::writeResiduals(int32_t second, int32_t frames)
{
    switch (second) {
    case riceWriting: writeResiduals<Channels, Writing0, riceWriting>(frames); break;
    case fixedWidthWriting: writeResiduals<Channels, Writing0, fixedWidthWriting>(frames); break;
    default: writeResiduals<Channels, Writing0, noWriting>(frames); break;
    }
}

template <int32_t Channels>
void Encoder::writeResiduals(int32_t first, int32_t second, int32_t frames)
{
    switch (first) {
    case riceWriting: writeResiduals<Channels, riceWriting>(second, frames); break;
    case fixedWidthWriting: writeResiduals<Channels, fixedWidthWriting>(second, frames); break;
    default: writeResiduals<Channels, noWriting>(second, frames); break;
    }
}

int32_t Encoder::close(int64_t totalFrames)
{
    if (totalFrames < 0)
        return -1;
    int64_t position = writer_.position();
    if (position & 1) {
        const uint8_t zero = 0;
        writeAt(position, &zero, 1);
        ++position;
    }
    if (trailingLength_ > 0)
        writeAt(position, trailing_, trailingLength_);

    header_.totalFrames = totalFrames;
    header_.streamLength = writer_.bytesFlushed();
    uint8_t bytes[FileHeader::size];
    header_.store(bytes);
    writeAt(0, bytes, FileHeader::size);

    // The embedded "RIFF" size as the format defines it (sample bytes + trailing
    // length + embedded header length), and the "data" size: the stream's length.
    uint8_t field[4];
    const int64_t frameBytes = int64_t{(bitsPerSample_ + 7) / 8} * channels_;
    const int64_t riffSize = totalFrames > std::numeric_limits<int32_t>::max()
                                 ? std::numeric_limits<int64_t>::max()
                                 : frameBytes * totalFrames + trailingLength_ + embeddedHeaderLength_;
    putLittleEndian32(field, riffSize >= (int64_t{1} << 31) ? 0 : static_cast<uint32_t>(riffSize));
    writeAt(FileHeader::size + embeddedRiffSizeOffset, field, 4);
    putLittleEndian32(field, static_cast<uint32_t>(writer_.bytesFlushed()));
    writeAt(FileHeader::size + embeddedHeaderLength_ - embeddedDataSizeFromEnd, field, 4);
    return failed_ ? -1 : 0;
}

} // namespace voltara::codec
