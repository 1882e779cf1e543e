#pragma once

#include "tools/voltara/PendingFile.h"
#include "tools/voltara/SoundFile.h"

#include <memory>
#include <string>
#include <vector>

namespace voltara {

// Writes a stereo audio file through libsndfile a block at a time, under a
// temporary name until commit, so that a failure leaves nothing at the path.
class AudioWriter {
public:
    // format: libsndfile container and encoding. Throws ToolError when the
    // format cannot hold stereo at the rate or the file cannot be created.
    AudioWriter(const std::string& path, int format, int sampleRate);

    // The format for path: the container its extension names, keeping the
    // encoding of sourceFormat where the container allows it; without a known
    // extension, sourceFormat itself.
    static int formatFor(const std::string& path, int sourceFormat);

    void write(const float* left, const float* right, std::size_t count);
    void commit();

private:
    std::string path_;
    PendingFile pending_;
    std::unique_ptr<SoundFile> file_;
    std::vector<float> interleaved_;
};

} // namespace voltara
