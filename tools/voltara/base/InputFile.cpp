#include "tools/voltara/base/InputFile.h"

#include "platform/RegularFile.h"
#include "tools/voltara/base/ToolError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara {

std::string whyNoInputFile(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0)
        return errno == ENOENT ? "no such file" : std::strerror(errno);
    if (S_ISDIR(status.st_mode))
        return "it is a folder";
    if (!S_ISREG(status.st_mode))
        return "not a regular file (a device, FIFO or socket)";
    if (::access(path.c_str(), R_OK) != 0)
        return std::strerror(errno);
    return "";
}

void requireInputFile(const std::string& path)
{
    const std::string why = whyNoInputFile(path);
    if (!why.empty())
        throw ToolError("cannot read " + path + ": " + why);
}

std::string readInputFile(const std::string& path, std::size_t limit, const std::string& what, bool standardInput)
{
    const std::string failing = "cannot read " + what + " " + path + ": ";
    const std::string tooLarge = "larger than " + std::to_string(limit) + " bytes, more than " + what + " holds";
    std::string bytes(limit + 1, '\0');
    if (standardInput && path == "-") {
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t read = ::read(STDIN_FILENO, &bytes[got], bytes.size() - got);
            if (read < 0 && errno == EINTR)
                continue;
            if (read < 0)
                throw ToolError("cannot read " + what + " from standard input: " + std::strerror(errno));
            if (read == 0)
                break;
            got += std::size_t(read);
        }
        if (got > limit)
            throw ToolError("cannot read " + what + " from standard input: " + tooLarge);
        bytes.resize(got);
        return bytes;
    }
    requireInputFile(path);
    int64_t size = 0;
    const int64_t got = readRegularFile(path.c_str(), bytes.data(), int64_t(bytes.size()), &size);
    if (got < 0)
        throw ToolError(failing + std::strerror(errno ? errno : EIO));
    if (size > int64_t(limit) || got > int64_t(limit))
        throw ToolError(failing + tooLarge);
    bytes.resize(std::size_t(got));
    return bytes;
}

} // namespace voltara
