#include "tools/codechost/CodecFile.h"

#include <cstring>

namespace voltara::codechost {

namespace {

constexpr int64_t largestWriteOffset = int64_t{1} << 28;

} // namespace

bool MemoryFile::readAt(int64_t offset, void* destination, size_t count)
{
    if (offset < 0 || static_cast<uint64_t>(offset) + count > bytes.size())
        return false;
    if (failReadsAt >= 0 && offset + static_cast<int64_t>(count) > failReadsAt)
        return false;
    if (static_cast<int64_t>(count) > largestRead)
        largestRead = static_cast<int64_t>(count);
    std::memcpy(destination, bytes.data() + offset, count);
    return true;
}

bool MemoryFile::writeAt(int64_t offset, const void* source, size_t count)
{
    if (failWrites || offset < 0 || offset > largestWriteOffset)
        return false;
    const size_t end = static_cast<size_t>(offset) + count;
    if (bytes.size() < end)
        bytes.resize(end);
    std::memcpy(bytes.data() + offset, source, count);
    return true;
}

} // namespace voltara::codechost
