#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara {

int64_t readRegularFile(const char* path, void* buffer, int64_t capacity, int64_t* size)
{
    if (!path || capacity < 0 || (capacity > 0 && !buffer))
        return -1;
    // Without O_NONBLOCK, opening a FIFO waits for a writer.
    const int file = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0)
        return -1;
    struct stat info;
    int64_t total = -1;
    if (::fstat(file, &info) == 0 && S_ISREG(info.st_mode)) {
        total = 0;
        while (total < capacity) {
            const ssize_t count =
                ::read(file, static_cast<char*>(buffer) + total, static_cast<size_t>(capacity - total));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                total = -1;
            if (count <= 0)
                break;
            total += count;
        }
        if (size && total >= 0)
            *size = info.st_size;
    }
    ::close(file);
    return total;
}

} // namespace voltara
