#include "tools/voltara/audio/WaveWriter.h"

#include "common/ByteOrder.h"
#include "tools/codechost/WaveBytes.h"
#include "tools/voltara/audio/SampleScale.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/kfr/WaveLayout.h"

#include <cstring>
#include <fcntl.h>

namespace voltara {
namespace {

constexpr int channels = 2;

} // namespace

WaveWriter::WaveWriter(const std::string& path, const std::string& shownPath, int bits, int sampleRate)
    : file_(path, O_RDWR | O_CREAT | O_TRUNC, shownPath), bits_(bits),
      header_(bits == 0 ? codechost::floatWaveHeader(channels, sampleRate, 0)
                        : codechost::waveHeader(channels, sampleRate, bits, 0))
{
    file_.mustWrite(0, header_.data(), header_.size());
}

void WaveWriter::write(const float* interleaved, std::size_t count)
{
    const std::size_t samples = count * channels;
    const std::size_t sampleBytes = bits_ == 0 ? 4 : std::size_t(bits_ / 8);
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
        throw ToolError("cannot write " + file_.shownPath()
                        + ": more than 4 GB of samples do not fit a WAV file "
                          "(write .w64)");
    file_.mustWrite(int64_t(header_.size()) + dataBytes, packed_.data(), packed_.size());
    frames_ += int64_t(count);
}

void WaveWriter::finish()
{
    const int64_t sampleBytes = frames_ * channels * (bits_ == 0 ? 4 : bits_ / 8);
    // Stereo frames are whole words: the samples need no pad byte.
    setWaveSizes(header_, int64_t(header_.size()) + sampleBytes, sampleBytes);
    if (bits_ == 0)
        putLittleEndian32(header_.data() + codechost::floatWaveFactFramesOffset, uint32_t(frames_));
    file_.mustWrite(0, header_.data(), header_.size());
}

} // namespace voltara
