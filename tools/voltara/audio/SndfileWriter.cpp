#include "tools/voltara/audio/SndfileWriter.h"

#include "tools/voltara/base/ToolError.h"

namespace voltara {

SndfileWriter::SndfileWriter(const std::string& path, const std::string& shownPath, int format, int sampleRate)
    : shownPath_(shownPath)
{
    SF_INFO info{};
    info.format = format;
    info.channels = 2;
    info.samplerate = sampleRate;
    if (sf_format_check(&info) == 0)
        throw ToolError("cannot write " + shownPath_ + ": the format cannot hold stereo at "
                        + std::to_string(sampleRate) + " Hz");
    file_ = std::make_unique<SoundFile>(sf_open(path.c_str(), SFM_WRITE, &info));
    if (file_->get() == nullptr)
        throw ToolError("cannot write " + shownPath_ + ": " + sf_strerror(nullptr));
    sf_command(file_->get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

void SndfileWriter::write(const float* interleaved, std::size_t count)
{
    if (sf_writef_float(file_->get(), interleaved, sf_count_t(count)) != sf_count_t(count))
        throw ToolError("cannot write " + shownPath_ + ": " + sf_strerror(file_->get()));
}

void SndfileWriter::finish()
{
    if (!file_->close())
        throw ToolError("cannot write " + shownPath_ + ": the file could not be completed");
}

} // namespace voltara
