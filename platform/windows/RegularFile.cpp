#include "platform/RegularFile.h"

#include <windows.h>

namespace voltara {

int64_t readRegularFile(const char* path, void* buffer, int64_t capacity, int64_t* size)
{
    if (!path || capacity < 0 || (capacity > 0 && !buffer))
        return -1;
    // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; pipes,
    // consoles and devices open at once and are told apart by their type.
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    int64_t total = -1;
    LARGE_INTEGER length;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &length)) {
        total = 0;
        while (total < capacity) {
            const int64_t wanted = capacity - total;
            DWORD count = 0;
            if (!ReadFile(file, static_cast<char*>(buffer) + total,
                          static_cast<DWORD>(wanted < (1 << 30) ? wanted : (1 << 30)), &count, nullptr)) {
                total = -1;
                break;
            }
            if (count == 0)
                break;
            total += count;
        }
        if (size && total >= 0)
            *size = length.QuadPart;
    }
    CloseHandle(file);
    return total;
}

} // namespace voltara
