#pragma once

#include <string>

namespace voltara {

// An output file written under a temporary name and moved into place only
// once complete, so that a failed or interrupted command leaves neither a
// partial file nor a clobbered old one. The destination "-" is standard
// output: the file is made in the temporary folder and copied out on commit.
// An interrupt, termination, hang-up or broken pipe removes the temporary
// file before the program ends with the signal's usual status.
class PendingFile {
public:
    explicit PendingFile(std::string destination);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // As the user named it, for messages.
    const std::string& destination() const { return destination_; }
    // Where to write until commit.
    const std::string& temporaryPath() const { return temporary_; }
    // Moves the finished file to its destination (or copies it to standard output).
    void commit();

private:
    void forget();

    std::string destination_;
    std::string temporary_;
    int slot_ = -1; // in the list the signal handler removes
    bool committed_ = false;
};

// Throws ToolError when output is the file input is (also through links or
// another spelling of the path), before anything is written: the command
// would destroy its own input.
void refuseSameFile(const std::string& input, const std::string& output);

} // namespace voltara
