#pragma once

#include "platform/Handles.h"

#include <cstdint>

namespace voltara {

// Reads the start of a regular file: at most capacity bytes into buffer.
// Answers how many bytes were read (0 .. capacity), or -1 when path names no
// regular file that can be opened for reading: missing, a folder, a device
// (a link to /dev/zero), a FIFO or pipe, unreadable. The file is opened
// without waiting for anyone (a FIFO without a writer would otherwise block
// forever) and never read beyond capacity. The whole file's size goes to
// *size when size is not null. Every file the plug-in reads on its own goes
// through here: it runs inside a host that must not hang.
VOLTARA_PLATFORM_API int64_t readRegularFile(const char* path, void* buffer, int64_t capacity, int64_t* size = nullptr);

} // namespace voltara
