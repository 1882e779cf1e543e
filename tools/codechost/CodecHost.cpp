#include "tools/codechost/CodecHost.h"

#include "tools/codechost/CodecFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace voltara::codechost {

namespace {

int64_t allocations = 0;
size_t allocationLimit = SIZE_MAX;

CodecFile& fileOf(codec::FileHandle handle)
{
    return *static_cast<CodecFile*>(handle);
}

int32_t readAt(codec::FileHandle file, int64_t offset, void* destination, int32_t count)
{
    return count >= 0 && fileOf(file).readAt(offset, destination, static_cast<size_t>(count)) ? 0 : -1;
}

int32_t writeAt(codec::FileHandle file, int64_t offset, const void* source, int32_t count)
{
    return count >= 0 && fileOf(file).writeAt(offset, source, static_cast<size_t>(count)) ? 0 : -1;
}

int64_t getSize(codec::FileHandle file)
{
    return fileOf(file).size();
}

void* allocate(uint32_t count, int32_t clear)
{
    if (count > allocationLimit)
        std::abort();
    void* block = clear ? std::calloc(count ? count : 1, 1) : std::malloc(count ? count : 1);
    if (block)
        ++allocations;
    return block;
}

void* reallocate(void* block, uint32_t count)
{
    return std::realloc(block, count);
}

} // namespace

codec::HostIoCallbacks callbacks(const char* hostName)
{
    codec::HostIoCallbacks table = {{}, readAt, writeAt, getSize, allocate, reallocate, release, {}};
    std::strncpy(table.hostName, hostName, sizeof table.hostName - 1);
    return table;
}

bool registerWith(InitEntry init, const char* hostName, codec::FormatInfo& format)
{
    const codec::HostIoCallbacks table = callbacks(hostName);
    return init(0, &table, &format) == 1;
}

codec::StreamInfo writeInfo(int32_t channels, int32_t rate, int32_t bits, std::vector<uint8_t>& header,
                            std::vector<uint8_t>& trailing)
{
    codec::StreamInfo info = {};
    info.channelCount = channels;
    info.sampleRate = rate;
    info.bitsPerSample = bits;
    info.header = header.data();
    info.headerLength = static_cast<int32_t>(header.size());
    info.trailing = trailing.empty() ? nullptr : trailing.data();
    info.trailingLength = static_cast<int32_t>(trailing.size());
    return info;
}

bool encodeStream(const codec::FormatInfo& format, CodecFile& file, codec::StreamInfo& info, const int32_t* samples,
                  int64_t frames, int32_t batchFrames)
{
    void* encoder = format.openWrite(&file, &info);
    if (encoder == nullptr)
        return false;
    bool ok = true;
    for (int64_t done = 0; done < frames;) {
        const int32_t batch = static_cast<int32_t>(std::min<int64_t>(batchFrames, frames - done));
        int32_t consumed = 0;
        int64_t position = 0;
        ok = ok && format.writeFrames(encoder, samples + done * info.channelCount, batch, &consumed, &position) == 0
             && consumed == batch;
        done += batch;
    }
    int64_t end = 0;
    ok = ok && format.writeFrames(encoder, nullptr, 0, nullptr, &end) == 0 && end == file.size();
    return format.closeWrite(encoder, frames) == 0 && ok;
}

int64_t liveAllocations()
{
    return allocations;
}

void setAllocationLimit(size_t bytes)
{
    allocationLimit = bytes;
}

void release(void* block)
{
    if (block) {
        --allocations;
        std::free(block);
    }
}

} // namespace voltara::codechost
