#pragma once

#include "tools/voltara/audio/AudioSink.h"
#include "tools/voltara/audio/SoundFile.h"

#include <memory>
#include <string>

namespace voltara {

// Writes a stereo audio file through libsndfile (AIFF, FLAC, Ogg Vorbis, AU,
// CAF, W64).
class SndfileWriter : public AudioSink {
public:
    // format: libsndfile container and encoding; shownPath names the file in
    // messages. Throws ToolError when the format cannot hold stereo at the
    // rate or the file cannot be created.
    SndfileWriter(const std::string& path, const std::string& shownPath, int format, int sampleRate);

    void write(const float* interleaved, std::size_t count) override;
    void finish() override;

private:
    std::string shownPath_;
    std::unique_ptr<SoundFile> file_;
};

} // namespace voltara
