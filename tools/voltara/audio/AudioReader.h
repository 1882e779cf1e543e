#pragma once

#include "tools/voltara/audio/AudioSource.h"
#include "tools/voltara/audio/SoundFile.h"

#include <string>
#include <vector>

namespace voltara {

// An audio file read through libsndfile (WAV, AIFF, FLAC, OGG and whatever
// else it reads). A file that ends before the frames its header promises is
// read to its end with a warning naming the frames missing.
class AudioReader : public AudioSource {
public:
    // Throws ToolError when the file cannot be read or has more than two
    // channels; messages name the file shownPath.
    AudioReader(const std::string& path, const std::string& shownPath);

    int sampleRate() const override { return info_.samplerate; }
    long long frames() const override { return info_.frames; }
    int encoding() const override { return info_.format & SF_FORMAT_SUBMASK; }
    std::size_t read(float* left, float* right, std::size_t count) override;

private:
    // The frames the header promises, where libsndfile's log tells them.
    long long promisedFrames() const;

    std::string path_;
    SF_INFO info_{};
    SoundFile file_;
    std::vector<float> interleaved_;
    long long promised_ = 0;
    long long done_ = 0;
};

} // namespace voltara
