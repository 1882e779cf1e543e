#include "tools/voltara/base/PendingFile.h"

#include "tools/voltara/base/ProgressBar.h"
#include "tools/voltara/base/ToolError.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace voltara {
namespace {

constexpr int slotCount = 8;
// Temporary files that exist now; the signal handler may read them at any time.
std::atomic<const char*> temporaries[slotCount];

const int cleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void removeTemporariesAndDie(int signal)
{
    if (ProgressBar::lineOpen())
        (void)!::write(STDERR_FILENO, "\n", 1); // the shell's prompt starts on a line of its own
    for (auto& slot : temporaries) {
        if (const char* path = slot.load())
            ::unlink(path);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal); // delivered on return, with the status a shell expects
}

void installHandlers()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    struct sigaction action = {};
    action.sa_handler = removeTemporariesAndDie;
    sigemptyset(&action.sa_mask);
    for (int signal : cleanedSignals)
        sigaddset(&action.sa_mask, signal);
    for (int signal : cleanedSignals)
        sigaction(signal, &action, nullptr);
}

int claimSlot(const std::string& path)
{
    for (int i = 0; i < slotCount; ++i) {
        const char* empty = nullptr;
        if (temporaries[i].compare_exchange_strong(empty, path.c_str()))
            return i;
    }
    return -1;
}

std::string temporaryInTheTemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/voltara-out.XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0)
        throw ToolError("cannot make a temporary file in " + pattern + ": " + std::strerror(errno));
    ::close(descriptor);
    return pattern;
}

// Writes all of count bytes, through interruptions.
bool writeAll(int descriptor, const char* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t put = ::write(descriptor, bytes, count);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes += put;
        count -= std::size_t(put);
    }
    return true;
}

} // namespace

PendingFile::PendingFile(std::string destination) : destination_(std::move(destination)), replaced_(destination_)
{
    installHandlers();
    struct stat status;
    if (destination_ == "-") {
        if (::isatty(STDOUT_FILENO))
            throw ToolError("standard output is a terminal; name an output file or redirect it");
        stream_ = true;
    } else if (::stat(destination_.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            throw ToolError("cannot write " + destination_ + ": it is a folder; name a file in it");
        stream_ = S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode);
        if (!stream_ && !S_ISREG(status.st_mode))
            throw ToolError("cannot write " + destination_
                            + ": it is neither a regular file nor a FIFO or character device");
        // A link to a regular file stays a link: its file is replaced.
        char resolved[PATH_MAX];
        if (!stream_ && ::realpath(destination_.c_str(), resolved) != nullptr)
            replaced_ = resolved;
    }
    if (!stream_) {
        temporary_ = replaced_ + ".partial-" + std::to_string(getpid());
        slot_ = claimSlot(temporary_);
    }
}

const std::string& PendingFile::temporaryPath()
{
    // A stream's copy is made only when a writer needs a whole file.
    if (temporary_.empty()) {
        temporary_ = temporaryInTheTemporaryFolder();
        slot_ = claimSlot(temporary_);
    }
    return temporary_;
}

PendingFile::~PendingFile()
{
    forget();
    if (!committed_ && !temporary_.empty())
        std::remove(temporary_.c_str());
    if (streamDescriptor_ > STDERR_FILENO)
        ::close(streamDescriptor_);
}

std::string PendingFile::shownName() const
{
    return destination_ == "-" ? "standard output" : destination_;
}

void PendingFile::forget()
{
    if (slot_ >= 0)
        temporaries[slot_].store(nullptr);
    slot_ = -1;
}

void PendingFile::openDestination()
{
    if (streamDescriptor_ >= 0)
        return;
    streamDescriptor_ = destination_ == "-" ? STDOUT_FILENO : ::open(destination_.c_str(), O_WRONLY | O_CLOEXEC);
    if (streamDescriptor_ < 0)
        throw ToolError("cannot write " + shownName() + ": " + std::strerror(errno));
}

void PendingFile::closeDestination()
{
    const int descriptor = std::exchange(streamDescriptor_, -1);
    if (descriptor > STDERR_FILENO && ::close(descriptor) != 0)
        throw ToolError("cannot write " + shownName() + ": " + std::strerror(errno));
}

void PendingFile::writeInOrder(const void* bytes, std::size_t count)
{
    inOrder_ = true;
    openDestination();
    if (!writeAll(streamDescriptor_, static_cast<const char*>(bytes), count))
        throw ToolError("cannot write " + shownName() + ": " + std::strerror(errno));
}

void PendingFile::commit()
{
    if (inOrder_) {
        closeDestination();
        return;
    }
    if (stream_) {
        copyIntoDestination(temporaryPath());
        return; // the destructor removes the temporary file
    }
    if (std::rename(temporary_.c_str(), replaced_.c_str()) != 0)
        throw ToolError("cannot write " + destination_ + ": " + std::strerror(errno));
    forget();
    committed_ = true;
}

void PendingFile::copyIntoDestination(const std::string& file)
{
    const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw ToolError("cannot read back the output: " + std::string(std::strerror(errno)));
    openDestination();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        const int error = errno;
        if (got <= 0 || !writeAll(streamDescriptor_, buffer, std::size_t(got))) {
            ::close(in);
            if (got < 0)
                throw ToolError("cannot read back the output: " + std::string(std::strerror(error)));
            if (got == 0)
                break;
            throw ToolError("cannot write " + shownName() + ": " + std::strerror(errno));
        }
    }
    closeDestination();
}

InputCopy::InputCopy(const std::string& source) : path_(temporaryInTheTemporaryFolder())
{
    installHandlers();
    slot_ = claimSlot(path_);
    const std::string shown = source == "-" ? "standard input" : source;
    const std::string failure = copy(source, shown);
    if (!failure.empty()) {
        release(); // a constructor that throws runs no destructor
        throw ToolError(failure);
    }
}

std::string InputCopy::copy(const std::string& source, const std::string& shown) const
{
    const int in = source == "-" ? STDIN_FILENO : ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return "cannot read " + shown + ": " + std::strerror(errno);
    const int out = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    std::string failure = out < 0 ? "cannot copy " + shown + " into " + path_ + ": " + std::strerror(errno) : "";
    char buffer[1 << 16];
    while (failure.empty()) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failure = "cannot read " + shown + ": " + std::strerror(errno);
        else if (got == 0)
            break;
        else if (!writeAll(out, buffer, std::size_t(got)))
            failure = "cannot copy " + shown + " into " + path_ + ": " + std::strerror(errno);
    }
    if (out >= 0 && ::close(out) != 0 && failure.empty())
        failure = "cannot copy " + shown + " into " + path_ + ": " + std::strerror(errno);
    if (in != STDIN_FILENO)
        ::close(in);
    return failure;
}

InputCopy::~InputCopy()
{
    release();
}

void InputCopy::release()
{
    if (slot_ >= 0)
        temporaries[slot_].store(nullptr);
    slot_ = -1;
    ::unlink(path_.c_str());
}

void refuseSameFile(const std::string& input, const std::string& output)
{
    struct stat in, out;
    if (output == "-" || ::stat(input.c_str(), &in) != 0 || ::stat(output.c_str(), &out) != 0)
        return;
    if (in.st_dev == out.st_dev && in.st_ino == out.st_ino)
        throw ToolError(output + " is the input file " + input
                        + "; writing it would destroy the input: name another output file");
}

} // namespace voltara
