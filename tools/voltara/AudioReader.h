#pragma once

#include "tools/voltara/SoundFile.h"

#include <string>
#include <vector>

namespace voltara {

// Reads an audio file through libsndfile (WAV, AIFF, FLAC, OGG and whatever
// else it reads) a block at a time as stereo: a mono file feeds both channels.
class AudioReader {
public:
    // Throws ToolError when the file cannot be read or has more than two channels.
    explicit AudioReader(const std::string& path);

    int sampleRate() const { return info_.samplerate; }
    int format() const { return info_.format; } // libsndfile container and encoding
    long long frames() const { return info_.frames; }
    // Fills up to count frames; answers how many it read, 0 at the end.
    std::size_t read(float* left, float* right, std::size_t count);

private:
    std::string path_;
    SF_INFO info_{};
    SoundFile file_;
    std::vector<float> interleaved_;
};

} // namespace voltara
