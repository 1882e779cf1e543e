#include "tools/voltara/AudioReader.h"

#include "tools/voltara/ToolError.h"

namespace voltara {

AudioReader::AudioReader(const std::string& filePath) : path(filePath), file(sf_open(filePath.c_str(), SFM_READ, &info))
{
    if (file.get() == nullptr)
        throw ToolError("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels > 2)
        throw ToolError(path + " has " + std::to_string(info.channels) + " channels; the rack takes mono or stereo");
}

std::size_t AudioReader::read(float* left, float* right, std::size_t count)
{
    const std::size_t channels = std::size_t(info.channels);
    interleaved.resize(count * channels);
    const sf_count_t got = sf_readf_float(file.get(), interleaved.data(), sf_count_t(count));
    if (got < 0 || sf_error(file.get()) != SF_ERR_NO_ERROR)
        throw ToolError("cannot read " + path + ": " + sf_strerror(file.get()));
    for (std::size_t j = 0; j < std::size_t(got); ++j) {
        left[j] = interleaved[j * channels];
        right[j] = interleaved[j * channels + channels - 1];
    }
    return std::size_t(got);
}

} // namespace voltara
