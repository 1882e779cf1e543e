#include "codec/MemoryFiles.h"

#include <cstdlib>
#include <cstring>

namespace voltara::codec {

namespace {

constexpr int32_t dataOffset = 16; // the file's bytes, after the size word and padding

int64_t memoryFileSize(FileHandle block)
{
    if (block == nullptr)
        return 0;
    int32_t size;
    std::memcpy(&size, block, sizeof size);
    return size;
}

int32_t memoryFileReadAt(FileHandle block, int64_t offset, void* destination, int32_t byteCount)
{
    // A null block is no file: a read that copied nothing must not succeed,
    // or the codec would go on with bytes it never got.
    if (block == nullptr)
        return -1;
    // Only the low word of the offset counts. A read outside the file fails
    // rather than copying from beyond the block.
    const uint32_t start = static_cast<uint32_t>(offset);
    const int64_t size = memoryFileSize(block);
    if (byteCount < 0 || int64_t{start} + byteCount > size)
        return -1;
    std::memcpy(destination, static_cast<const uint8_t*>(block) + dataOffset + start, static_cast<size_t>(byteCount));
    return 0;
}

int32_t memoryFileWriteAt(FileHandle, int64_t, const void*, int32_t)
{
    return 0;
}

void* heapAllocate(uint32_t byteCount, int32_t clear)
{
    return clear != 0 ? std::calloc(byteCount, 1) : std::malloc(byteCount);
}

void* heapReallocate(void* block, uint32_t byteCount)
{
    return std::realloc(block, byteCount);
}

void heapRelease(void* block)
{
    std::free(block); // free ignores null
}

const HostIoCallbacks memoryFiles = {
    "Axewright Voltara", memoryFileReadAt, memoryFileWriteAt, memoryFileSize,
    heapAllocate,        heapReallocate,   heapRelease,       {0, 1},
};

} // namespace

const HostIoCallbacks& memoryFileCallbacks()
{
    return memoryFiles;
}

} // namespace voltara::codec
