#include "tools/voltara/audio/AudioReader.h"

#include "tools/voltara/base/ToolError.h"

#include <cstdlib>
#include <sstream>

namespace voltara {
namespace {

// Bytes of one sample in the uncompressed encodings whose size a header counts.
int sampleBytes(int encoding)
{
    switch (encoding) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return 1;
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 0;
    }
}

} // namespace

AudioReader::AudioReader(const std::string& path, const std::string& shownPath)
    : path_(shownPath), file_(sf_open(path.c_str(), SFM_READ, &info_))
{
    if (file_.get() == nullptr)
        throw ToolError("cannot read " + path_ + ": " + sf_strerror(nullptr));
    if (info_.channels > 2)
        throw ToolError(path_ + " has " + std::to_string(info_.channels) + " channels; the rack takes mono or stereo");
    promised_ = promisedFrames();
}

long long AudioReader::promisedFrames() const
{
    // libsndfile reads a cut-short WAV, AIFF or W64 up to its end and logs the
    // sample chunk's size as "data : 176400 (should be 99956)" ("SSND" for
    // AIFF, whose size counts 8 bytes of offset and block size first).
    char log[8192] = {};
    sf_command(file_.get(), SFC_GET_LOG_INFO, log, sizeof log);
    const int frameBytes = info_.channels * sampleBytes(encoding());
    std::istringstream lines(log);
    for (std::string line; frameBytes > 0 && std::getline(lines, line);) {
        const bool data = line.rfind("data : ", 0) == 0;
        const bool sound = line.rfind(" SSND : ", 0) == 0 || line.rfind("SSND : ", 0) == 0;
        if ((!data && !sound) || line.find("(should be") == std::string::npos)
            continue;
        const long long bytes = std::strtoll(line.c_str() + line.find(':') + 1, nullptr, 10) - (sound ? 8 : 0);
        if (bytes / frameBytes > info_.frames)
            return bytes / frameBytes;
    }
    return info_.frames;
}

std::size_t AudioReader::read(float* left, float* right, std::size_t count)
{
    const std::size_t channels = std::size_t(info_.channels);
    interleaved_.resize(count * channels);
    const sf_count_t got = sf_readf_float(file_.get(), interleaved_.data(), sf_count_t(count));
    if (got < 0 || sf_error(file_.get()) != SF_ERR_NO_ERROR)
        throw ToolError("cannot read " + path_ + ": " + sf_strerror(file_.get()));
    for (std::size_t j = 0; j < std::size_t(got); ++j) {
        left[j] = interleaved_[j * channels];
        right[j] = interleaved_[j * channels + channels - 1];
    }
    done_ += got;
    if (got == 0 && count > 0 && done_ < promised_) {
        warn(cutShortMessage(path_, promised_, done_));
        promised_ = done_;
    }
    return std::size_t(got);
}

} // namespace voltara
