#include "tools/voltara/AudioReader.h"

#include "tools/voltara/ToolError.h"

namespace voltara {

AudioReader::AudioReader(const std::string& path) : path_(path), file_(sf_open(path.c_str(), SFM_READ, &info_))
{
    if (file_.get() == nullptr)
        throw ToolError("cannot read " + path_ + ": " + sf_strerror(nullptr));
    if (info_.channels > 2)
        throw ToolError(path_ + " has " + std::to_string(info_.channels) + " channels; the rack takes mono or stereo");
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
    return std::size_t(got);
}

} // namespace voltara
