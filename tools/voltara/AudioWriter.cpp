#include "tools/voltara/AudioWriter.h"

#include "tools/voltara/ToolError.h"

#include <algorithm>
#include <cctype>

namespace voltara {
namespace {

struct Container {
    const char* extension;
    int major;
    int fallbackEncoding; // when the source's encoding does not fit
};

const Container containers[] = {
    {"wav", SF_FORMAT_WAV, SF_FORMAT_FLOAT},    {"aif", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"aiff", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},  {"aifc", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24}, {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    {"au", SF_FORMAT_AU, SF_FORMAT_FLOAT},      {"caf", SF_FORMAT_CAF, SF_FORMAT_FLOAT},
    {"w64", SF_FORMAT_W64, SF_FORMAT_FLOAT},
};

bool fits(int format, int sampleRate)
{
    SF_INFO info{};
    info.format = format;
    info.channels = 2;
    info.samplerate = sampleRate;
    return sf_format_check(&info) != 0;
}

} // namespace

AudioWriter::AudioWriter(const std::string& path, int format, int sampleRate) : path_(path), pending_(path)
{
    if (!fits(format, sampleRate))
        throw ToolError("cannot write " + path_ + ": the format cannot hold stereo at " + std::to_string(sampleRate)
                        + " Hz");
    SF_INFO info{};
    info.format = format;
    info.channels = 2;
    info.samplerate = sampleRate;
    file_ = std::make_unique<SoundFile>(sf_open(pending_.temporaryPath().c_str(), SFM_WRITE, &info));
    if (file_->get() == nullptr)
        throw ToolError("cannot write " + path_ + ": " + sf_strerror(nullptr));
    sf_command(file_->get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

int AudioWriter::formatFor(const std::string& path, int sourceFormat)
{
    const auto dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const Container& container : containers) {
        if (extension != container.extension)
            continue;
        const int kept = container.major | (sourceFormat & SF_FORMAT_SUBMASK);
        return fits(kept, 44100) ? kept : container.major | container.fallbackEncoding;
    }
    return sourceFormat;
}

void AudioWriter::write(const float* left, const float* right, std::size_t count)
{
    interleaved_.resize(2 * count);
    for (std::size_t j = 0; j < count; ++j) {
        interleaved_[2 * j] = left[j];
        interleaved_[2 * j + 1] = right[j];
    }
    if (sf_writef_float(file_->get(), interleaved_.data(), sf_count_t(count)) != sf_count_t(count))
        throw ToolError("cannot write " + path_ + ": " + sf_strerror(file_->get()));
}

void AudioWriter::commit()
{
    if (!file_->close())
        throw ToolError("cannot write " + path_ + ": the file could not be completed");
    pending_.commit();
}

} // namespace voltara
