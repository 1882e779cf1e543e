#pragma once

#include <string>
#include <vector>

namespace voltara {

// Stereo audio in memory, as the rack takes it.
struct StereoAudio {
    int sampleRate = 44100; // Hz
    int format = 0;         // libsndfile format code of the source (container and encoding)
    std::vector<float> left;
    std::vector<float> right;
};

// Audio files through libsndfile: WAV, AIFF, FLAC, OGG and whatever else it reads.
namespace AudioFile {

// Mono sources are copied to both channels; more than two channels is an error.
StereoAudio read(const std::string& path);
// The format for path: the container its extension names, keeping the
// encoding of sourceFormat where the container allows it; without a known
// extension, sourceFormat itself.
int formatFor(const std::string& path, int sourceFormat);
// Writes through a temporary file: a failure leaves nothing at path.
void write(const std::string& path, const StereoAudio& audio, int format);

} // namespace AudioFile
} // namespace voltara
