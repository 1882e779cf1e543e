#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/CodecInterface.h"

// The callbacks the fuzz targets give the codec: files are byte vectors, and an
// allocation larger than the file could justify is a finding (a crash), since
// a malformed file must never make the codec allocate without bound.
namespace voltara::codec::fuzz {

struct FuzzFile {
    std::vector<uint8_t> bytes;
};

inline size_t allocationLimit = 0;

inline int32_t fuzzReadAt(FileHandle handle, int64_t offset, void* destination, int32_t count)
{
    const FuzzFile& file = *static_cast<const FuzzFile*>(handle);
    if (offset < 0 || count < 0 || static_cast<uint64_t>(offset) + static_cast<uint32_t>(count) > file.bytes.size())
        return -1;
    std::memcpy(destination, file.bytes.data() + offset, static_cast<size_t>(count));
    return 0;
}

inline int32_t fuzzWriteAt(FileHandle handle, int64_t offset, const void* source, int32_t count)
{
    FuzzFile& file = *static_cast<FuzzFile*>(handle);
    if (offset < 0 || count < 0 || offset > (int64_t{1} << 28))
        return -1;
    if (file.bytes.size() < static_cast<size_t>(offset) + static_cast<size_t>(count))
        file.bytes.resize(static_cast<size_t>(offset) + static_cast<size_t>(count));
    std::memcpy(file.bytes.data() + offset, source, static_cast<size_t>(count));
    return 0;
}

inline int64_t fuzzGetSize(FileHandle handle)
{
    return static_cast<int64_t>(static_cast<const FuzzFile*>(handle)->bytes.size());
}

inline void* fuzzAllocate(uint32_t count, int32_t clear)
{
    if (count > allocationLimit)
        __builtin_trap();
    return clear ? std::calloc(count ? count : 1, 1) : std::malloc(count ? count : 1);
}

inline void* fuzzReallocate(void* block, uint32_t count)
{
    return std::realloc(block, count);
}

inline void fuzzRelease(void* block)
{
    std::free(block);
}

inline FormatInfo registerFuzzHost()
{
    HostIoCallbacks callbacks = {};
    callbacks.readAt = fuzzReadAt;
    callbacks.writeAt = fuzzWriteAt;
    callbacks.getSize = fuzzGetSize;
    callbacks.allocate = fuzzAllocate;
    callbacks.reallocate = fuzzReallocate;
    callbacks.release = fuzzRelease;
    FormatInfo format = {};
    FIO_InitPlugin(0, &callbacks, &format);
    return format;
}

} // namespace voltara::codec::fuzz
