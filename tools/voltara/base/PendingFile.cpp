#include "tools/voltara/base/PendingFile.h"

#include "tools/voltara/base/ToolError.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara {
namespace {

constexpr int slotCount = 8;
// Temporary files that exist now; the signal handler may read them at any time.
std::atomic<const char*> temporaries[slotCount];

const int cleanedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void removeTemporariesAndDie(int signal)
{
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

std::string standardOutputTemporary()
{
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/voltara-out.XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0)
        throw ToolError("cannot make a temporary file for standard output in " + pattern + ": " + std::strerror(errno));
    ::close(descriptor);
    return pattern;
}

void copyToStandardOutput(const std::string& path)
{
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw ToolError("cannot read back the output: " + std::string(std::strerror(errno)));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        for (ssize_t done = 0; got > 0 && done < got;) {
            const ssize_t put = ::write(STDOUT_FILENO, buffer + done, std::size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0) {
                ::close(in);
                throw ToolError("cannot write to standard output: " + std::string(std::strerror(errno)));
            }
            done += put;
        }
        if (got < 0) {
            ::close(in);
            throw ToolError("cannot read back the output: " + std::string(std::strerror(errno)));
        }
    }
    ::close(in);
}

} // namespace

PendingFile::PendingFile(std::string destination) : destination_(std::move(destination))
{
    installHandlers();
    if (destination_ == "-") {
        if (::isatty(STDOUT_FILENO))
            throw ToolError("standard output is a terminal; name an output file or redirect it");
        temporary_ = standardOutputTemporary();
    } else {
        temporary_ = destination_ + ".partial-" + std::to_string(getpid());
    }
    slot_ = claimSlot(temporary_);
}

PendingFile::~PendingFile()
{
    forget();
    if (!committed_)
        std::remove(temporary_.c_str());
}

void PendingFile::forget()
{
    if (slot_ >= 0)
        temporaries[slot_].store(nullptr);
    slot_ = -1;
}

void PendingFile::commit()
{
    if (destination_ == "-") {
        copyToStandardOutput(temporary_);
        return; // the destructor removes the temporary file
    }
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0)
        throw ToolError("cannot write " + destination_ + ": " + std::strerror(errno));
    forget();
    committed_ = true;
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
