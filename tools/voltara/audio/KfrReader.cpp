#include "tools/voltara/audio/KfrReader.h"

#include "tools/codechost/WaveBytes.h"
#include "tools/voltara/base/ToolError.h"

#include <fcntl.h>
#include <sndfile.h>

namespace voltara {
namespace {

constexpr float codecFullScale = 8388608.0f; // the codec's samples are on the 24-bit scale

} // namespace

KfrReader::KfrReader(const std::string& path, const std::string& shownPath, const std::string& pluginPath)
    : codec_(pluginPath), file_(path, O_RDONLY, shownPath), stream_(codec_, file_), decoder_(stream_.openDecoder())
{
}

KfrReader::~KfrReader()
{
    codec_.format().closeRead(decoder_);
}

int KfrReader::encoding() const
{
    switch (stream_.info().bitsPerSample) {
    case 8: return SF_FORMAT_PCM_U8;
    case 16: return SF_FORMAT_PCM_16;
    default: return SF_FORMAT_PCM_24;
    }
}

std::size_t KfrReader::read(float* left, float* right, std::size_t count)
{
    const codec::StreamInfo& info = stream_.info();
    const int32_t wanted = int32_t(std::min<long long>((long long)count, info.totalFrames - done_));
    if (wanted <= 0)
        return 0;
    const int32_t channels = info.channelCount;
    packed_.resize(std::size_t(wanted) * stream_.frameBytes());
    samples_.resize(std::size_t(wanted) * channels);
    double progress = 0.0;
    const int32_t got = codec_.format().readFrames(decoder_, packed_.data(), wanted, &progress);
    if (got < wanted)
        stream_.throwCutShort(done_ + std::max(got, 0));
    codechost::toCodecSamples(packed_.data(), std::size_t(got) * channels, info.bitsPerSample, samples_.data());
    for (int32_t j = 0; j < got; ++j) {
        left[j] = float(samples_[std::size_t(j * channels)]) / codecFullScale;
        right[j] = float(samples_[std::size_t(j * channels + channels - 1)]) / codecFullScale;
    }
    done_ += got;
    return std::size_t(got);
}

} // namespace voltara
