#include "tools/voltara/kfr/DiskFile.h"

#include "tools/voltara/base/ToolError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara {

DiskFile::DiskFile(const std::string& path, int flags, const std::string& shownPath)
    : path_(path), shownPath_(shownPath.empty() ? path : shownPath),
      descriptor_(::open(path.c_str(), flags | O_CLOEXEC, 0644))
{
    if (descriptor_ < 0)
        throw ToolError(std::string((flags & O_ACCMODE) == O_RDONLY ? "cannot open " : "cannot write ") + shownPath_
                        + ": " + std::strerror(errno));
}

DiskFile::~DiskFile()
{
    ::close(descriptor_);
}

bool DiskFile::readAt(int64_t offset, void* destination, size_t count)
{
    auto* out = static_cast<char*>(destination);
    while (count > 0) {
        const ssize_t got = ::pread(descriptor_, out, count, static_cast<off_t>(offset));
        if (got <= 0) {
            if (got < 0 && errno == EINTR)
                continue;
            return false;
        }
        out += got, offset += got, count -= static_cast<size_t>(got);
    }
    return true;
}

bool DiskFile::writeAt(int64_t offset, const void* source, size_t count)
{
    const auto* in = static_cast<const char*>(source);
    while (count > 0) {
        const ssize_t put = ::pwrite(descriptor_, in, count, static_cast<off_t>(offset));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        in += put, offset += put, count -= static_cast<size_t>(put);
    }
    return true;
}

int64_t DiskFile::size() const
{
    struct stat status;
    return ::fstat(descriptor_, &status) == 0 ? static_cast<int64_t>(status.st_size) : -1;
}

void DiskFile::mustRead(int64_t offset, void* destination, size_t count)
{
    if (!readAt(offset, destination, count))
        throw ToolError("cannot read " + shownPath_ + ": " + (errno ? std::strerror(errno) : "unexpected end of file"));
}

void DiskFile::mustWrite(int64_t offset, const void* source, size_t count)
{
    if (!writeAt(offset, source, count))
        throw ToolError("cannot write " + shownPath_ + ": " + std::strerror(errno));
}

} // namespace voltara
