#include "AudioFile.h"

#include "PendingFile.h"
#include "ToolError.h"

#include <algorithm>
#include <cctype>
#include <sndfile.h>

namespace voltara {
namespace AudioFile {
namespace {

constexpr sf_count_t chunkFrames = 8192;

struct Container {
    const char* extension;
    int major;
    int fallbackEncoding; // when the source's encoding does not fit
};

const Container containers[] = {
    {"wav", SF_FORMAT_WAV, SF_FORMAT_FLOAT},   {"aif", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"aiff", SF_FORMAT_AIFF, SF_FORMAT_FLOAT}, {"aifc", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24}, {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    {"au", SF_FORMAT_AU, SF_FORMAT_FLOAT},     {"caf", SF_FORMAT_CAF, SF_FORMAT_FLOAT},
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

// Closes the libsndfile handle on every path out.
struct SoundFile {
    SNDFILE* handle;
    ~SoundFile()
    {
        if (handle != nullptr)
            sf_close(handle);
    }
    // Closing flushes what is buffered, so its failure is a failed write.
    bool close()
    {
        const bool closed = sf_close(handle) == 0;
        handle = nullptr;
        return closed;
    }
};

} // namespace

StereoAudio read(const std::string& path)
{
    SF_INFO info{};
    SoundFile file{sf_open(path.c_str(), SFM_READ, &info)};
    if (file.handle == nullptr)
        throw ToolError("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels > 2)
        throw ToolError(path + " has " + std::to_string(info.channels) +
                        " channels; the rack takes mono or stereo");
    StereoAudio audio;
    audio.sampleRate = info.samplerate;
    audio.format = info.format;
    audio.left.reserve(std::size_t(info.frames));
    audio.right.reserve(std::size_t(info.frames));
    std::vector<float> chunk(std::size_t(chunkFrames * info.channels));
    for (;;) {
        const sf_count_t frames = sf_readf_float(file.handle, chunk.data(), chunkFrames);
        if (frames <= 0)
            break;
        for (sf_count_t j = 0; j < frames; ++j) {
            audio.left.push_back(chunk[std::size_t(j * info.channels)]);
            audio.right.push_back(chunk[std::size_t(j * info.channels + info.channels - 1)]);
        }
    }
    if (sf_error(file.handle) != SF_ERR_NO_ERROR)
        throw ToolError("cannot read " + path + ": " + sf_strerror(file.handle));
    return audio;
}

int formatFor(const std::string& path, int sourceFormat)
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

void write(const std::string& path, const StereoAudio& audio, int format)
{
    if (!fits(format, audio.sampleRate))
        throw ToolError("cannot write " + path + ": the format cannot hold stereo at " +
                        std::to_string(audio.sampleRate) + " Hz");
    PendingFile pending(path);
    SF_INFO info{};
    info.format = format;
    info.channels = 2;
    info.samplerate = audio.sampleRate;
    {
        SoundFile file{sf_open(pending.temporaryPath().c_str(), SFM_WRITE, &info)};
        if (file.handle == nullptr)
            throw ToolError("cannot write " + path + ": " + sf_strerror(nullptr));
        sf_command(file.handle, SFC_SET_CLIPPING, nullptr, SF_TRUE);
        std::vector<float> chunk(std::size_t(2 * chunkFrames));
        const std::size_t total = audio.left.size();
        for (std::size_t start = 0; start < total; start += chunkFrames) {
            const std::size_t frames = std::min<std::size_t>(chunkFrames, total - start);
            for (std::size_t j = 0; j < frames; ++j) {
                chunk[2 * j] = audio.left[start + j];
                chunk[2 * j + 1] = audio.right[start + j];
            }
            if (sf_writef_float(file.handle, chunk.data(), sf_count_t(frames)) != sf_count_t(frames))
                throw ToolError("cannot write " + path + ": " + sf_strerror(file.handle));
        }
        if (!file.close())
            throw ToolError("cannot write " + path + ": the file could not be completed");
    }
    pending.commit();
}

} // namespace AudioFile
} // namespace voltara
