#include "tools/voltara/audio/KfrWriter.h"

#include "tools/codechost/WaveBytes.h"
#include "tools/voltara/audio/SampleScale.h"
#include "tools/voltara/base/ToolError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace voltara {
namespace {

constexpr int channels = 2;
constexpr int codecBits = 24; // the codec takes samples on the 24-bit scale

} // namespace

KfrWriter::KfrWriter(const std::string& path, const std::string& shownPath, int bits, int sampleRate,
                     const std::string& pluginPath)
    : codec_(pluginPath), file_(path, O_RDWR | O_CREAT | O_TRUNC, shownPath),
      header_(codechost::waveHeader(channels, sampleRate, bits, 0)), bits_(bits)
{
    codec::StreamInfo info = {};
    info.channelCount = channels;
    info.sampleRate = sampleRate;
    info.bitsPerSample = bits;
    info.header = header_.data();
    info.headerLength = int32_t(header_.size());
    encoder_ = codec_.format().openWrite(&file_, &info);
    if (encoder_ == nullptr)
        throw ToolError("cannot write " + shownPath + ": the codec refused " + std::to_string(bits) + "-bit stereo at "
                        + std::to_string(sampleRate) + " Hz");
}

KfrWriter::~KfrWriter()
{
    if (encoder_ != nullptr)
        codec_.format().closeWrite(encoder_, frames_);
}

void KfrWriter::write(const float* interleaved, std::size_t count)
{
    samples_.resize(count * channels);
    for (std::size_t i = 0; i < samples_.size(); ++i)
        samples_[i] = integerSample(interleaved[i], bits_) * (1 << (codecBits - bits_));
    int32_t consumed = 0;
    if (codec_.format().writeFrames(encoder_, samples_.data(), int32_t(count), &consumed, nullptr) != 0)
        throw ToolError("cannot write " + file_.shownPath() + ": " + std::strerror(errno));
    frames_ += int64_t(count);
}

void KfrWriter::finish()
{
    const bool ended = codec_.format().writeFrames(encoder_, nullptr, 0, nullptr, nullptr) == 0;
    const bool closed = codec_.format().closeWrite(encoder_, frames_) == 0;
    encoder_ = nullptr;
    if (!ended || !closed)
        throw ToolError("cannot write " + file_.shownPath() + ": " + std::strerror(errno));
}

} // namespace voltara
