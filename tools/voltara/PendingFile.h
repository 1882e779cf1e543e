#pragma once

#include <string>

namespace voltara {

// An output file written under a temporary name beside its destination and
// renamed into place only once complete, so that a failed command leaves
// neither a partial file nor a clobbered old one.
class PendingFile {
public:
    explicit PendingFile(std::string destination);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write until commit.
    const std::string& temporaryPath() const { return temporary_; }
    // Moves the finished file to its destination.
    void commit();

private:
    std::string destination_;
    std::string temporary_;
    bool committed_ = false;
};

} // namespace voltara
