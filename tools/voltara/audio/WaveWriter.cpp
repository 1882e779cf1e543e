#include "tools/voltara/audio/WaveWriter.h"

#include "common/ByteOrder.h"
#include "tools/codechost/WaveBytes.h"
#include "tools/voltara/audio/SampleScale.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/kfr/WaveLayout.h"

#include <cstring>
#include <fcntl.h>

namespace voltara {
namespace {

constexpr int channels = 2;
// The sample bytes a stream's header gives when the length is not known: what
// readers of WAV from a pipe take for "read to the end" (sox writes the same).
constexpr int64_t unknownLength = 0x7FFFF000;

} // namespace

WaveWriter::WaveWriter(int bits, int sampleRate)
    : bits_(bits), sampleBytes_(bits == 0 ? 4 : bits / 8),
      header_(bits == 0 ? codechost::floatWaveHeader(channels, sampleRate, 0)
                        : codechost::waveHeader(channels, sampleRate, bits, 0))
{
}

WaveWriter::WaveWriter(const std::string& path, const std::string& shownPath, int bits, int sampleRate)
    : WaveWriter(bits, sampleRate)
{
    file_ = std::make_unique<DiskFile>(path, O_RDWR | O_CREAT | O_TRUNC, shownPath);
    shownPath_ = file_->shownPath();
    put(0, header_);
}

WaveWriter::WaveWriter(PendingFile& stream, int bits, int sampleRate, int64_t expectedFrames)
    : WaveWriter(bits, sampleRate)
{
    stream_ = &stream;
    shownPath_ = stream.shownName();
    expectedFrames_ = expectedFrames;
    sizeFor(expectedFrames >= 0 ? expectedFrames : unknownLength / (channels * sampleBytes_));
    put(0, header_);
}

void WaveWriter::put(int64_t offset, const std::vector<uint8_t>& bytes)
{
    if (stream_)
        stream_->writeInOrder(bytes.data(), bytes.size());
    else
        file_->mustWrite(offset, bytes.data(), bytes.size());
}

void WaveWriter::sizeFor(int64_t frames)
{
    const int64_t sampleBytes = frames * channels * sampleBytes_;
    // Stereo frames are whole words: the samples need no pad byte.
    setWaveSizes(header_, int64_t(header_.size()) + sampleBytes, sampleBytes);
    if (bits_ == 0)
        putLittleEndian32(header_.data() + codechost::floatWaveFactFramesOffset, uint32_t(frames));
}

void WaveWriter::write(const float* interleaved, std::size_t count)
{
    const std::size_t samples = count * channels;
    const std::size_t sampleBytes = std::size_t(sampleBytes_);
    packed_.resize(samples * sampleBytes);
    uint8_t* out = packed_.data();
    for (std::size_t i = 0; i < samples; ++i, out += sampleBytes) {
        if (bits_ == 0) {
            uint32_t word;
            std::memcpy(&word, &interleaved[i], 4);
            putLittleEndian32(out, word);
            continue;
        }
        uint32_t value = uint32_t(integerSample(interleaved[i], bits_));
        if (bits_ == 8)
            value += 128; // 8-bit wave samples are unsigned
        for (std::size_t b = 0; b < sampleBytes; ++b)
            out[b] = uint8_t(value >> (8 * b));
    }
    const int64_t dataBytes = frames_ * channels * int64_t(sampleBytes);
    if (int64_t(header_.size()) + dataBytes + int64_t(packed_.size()) > int64_t(UINT32_MAX))
        throw ToolError("cannot write " + shownPath_
                        + ": more than 4 GB of samples do not fit a WAV file "
                          "(write .w64)");
    put(int64_t(header_.size()) + dataBytes, packed_);
    frames_ += int64_t(count);
}

void WaveWriter::finish()
{
    if (!stream_) {
        sizeFor(frames_);
        put(0, header_);
    } else if (expectedFrames_ >= 0 && frames_ != expectedFrames_) {
        warn("the WAV header sent to " + shownPath_ + " gives " + std::to_string(expectedFrames_) + " frames, "
             + std::to_string(frames_) + " followed; a stream cannot be corrected");
    }
}

} // namespace voltara
