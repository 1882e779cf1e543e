#pragma once

#include <sndfile.h>

namespace voltara {

// Owns a libsndfile handle and closes it on every path out.
class SoundFile {
public:
    explicit SoundFile(SNDFILE* opened) : handle_(opened) {}
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    SNDFILE* get() const { return handle_; }
    // Closing flushes what is buffered, so its failure is a failed write.
    bool close();

private:
    SNDFILE* handle_;
};

} // namespace voltara
