#pragma once

#include <cstddef>
#include <string>

namespace voltara {

// An output file written under a temporary name and moved into place only
// once complete, so that a failed or interrupted command leaves neither a
// partial file nor a clobbered old one. Only a regular file (or nothing) is
// replaced so: a link to one stays a link. Standard output ("-"), a FIFO and
// a character device are streams, written and never replaced: the file is
// made in the temporary folder and copied into the stream on commit, or a
// writer that can write in order writes into it as it goes. A folder, a block
// device or a socket is refused. Every write and close error is a ToolError
// naming the destination. An interrupt, termination, hang-up or broken pipe
// removes the temporary file before the program ends with the signal's
// usual status.
class PendingFile {
public:
    // Throws ToolError for a destination that can take no output.
    explicit PendingFile(std::string destination);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // As the user named it.
    const std::string& destination() const { return destination_; }
    // For messages: "standard output" for "-".
    std::string shownName() const;
    // Standard output, a FIFO or a character device.
    bool isStream() const { return stream_; }
    // Where to write the whole file until commit.
    const std::string& temporaryPath();
    // Writes into a stream as the output is made, in order; nothing
    // temporary is used then.
    void writeInOrder(const void* bytes, std::size_t count);
    // Replaces the regular destination with the finished file, or copies it
    // into the stream, or closes the stream written in order.
    void commit();

private:
    void forget();
    void openDestination();
    void closeDestination();
    void copyIntoDestination(const std::string& file);

    std::string destination_;
    std::string replaced_; // the regular file a rename replaces
    std::string temporary_;
    bool stream_ = false;
    bool inOrder_ = false;
    int streamDescriptor_ = -1;
    int slot_ = -1; // in the list the signal handler removes
    bool committed_ = false;
};

// Standard input or a FIFO copied whole into a temporary file, so that every
// reader can read it as a file on disk, length known; the copy goes with
// this object, or on a signal as a temporary output does.
class InputCopy {
public:
    // Throws ToolError naming source ("standard input" for "-") when it
    // cannot be read or the copy cannot be written.
    explicit InputCopy(const std::string& source);
    ~InputCopy();
    InputCopy(const InputCopy&) = delete;
    InputCopy& operator=(const InputCopy&) = delete;

    const std::string& path() const { return path_; }

private:
    // What went wrong, or empty.
    std::string copy(const std::string& source, const std::string& shown) const;
    void release();

    std::string path_;
    int slot_ = -1;
};

// Throws ToolError when output is the file input is (also through links or
// another spelling of the path), before anything is written: the command
// would destroy its own input.
void refuseSameFile(const std::string& input, const std::string& output);

} // namespace voltara
