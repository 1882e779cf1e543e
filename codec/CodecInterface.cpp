#include "codec/CodecInterface.h"

#include <atomic>
#include <cstring>
#include <initializer_list>
#include <new>

#include "codec/Decoder.h"
#include "codec/Encoder.h"
#include "codec/FileHeader.h"

namespace voltara::codec {

namespace {

// The table the entry points use: the host's once it registered one, else
// the plug-in's own; every other piece of codec state lives in a handle.
HostIoCallbacks hostCallbacks = {}; // written only by FIO_InitPlugin
const HostIoCallbacks noCallbacks = {};
std::atomic<const HostIoCallbacks*> activeCallbacks{nullptr};

bool canRead(const HostIoCallbacks& io)
{
    return io.readAt != nullptr && io.getSize != nullptr && io.allocate != nullptr && io.release != nullptr;
}

bool canWrite(const HostIoCallbacks& io)
{
    return io.writeAt != nullptr && io.allocate != nullptr && io.release != nullptr;
}

void copyText(char* field, size_t size, const char* text)
{
    std::memset(field, 0, size);
    std::strncpy(field, text, size - 1);
}

// The eight entry points. Any thread; one handle on one thread at a time.

int32_t checkFormat(void* /*ignored*/, const uint8_t* firstBytes)
{
    return firstBytes != nullptr && FileHeader::hasMagic(firstBytes) ? 1 : 0;
}

int32_t readInfo(FileHandle file, StreamInfo* info)
{
    const HostIoCallbacks& io = hostIo();
    if (info == nullptr || !canRead(io) || readStreamInfo(file, *info) != 0)
        return -1;
    // A stored rate no reader can use is no length to play or pad by.
    if (!FileHeader::holdsRate(info->sampleRate)) {
        for (void* block : {info->header, info->trailing})
            if (block != nullptr)
                io.release(block);
        info->header = info->trailing = nullptr;
        info->headerLength = info->trailingLength = 0;
        return -1;
    }
    return 0;
}

void* openRead(FileHandle file, StreamInfo* info)
{
    const HostIoCallbacks& io = hostIo();
    if (info == nullptr || !canRead(io) || !Decoder::accepts(*info))
        return nullptr;
    void* memory = io.allocate(sizeof(Decoder), 1);
    return memory != nullptr ? new (memory) Decoder(io, file, *info) : nullptr;
}

int32_t readFrames(void* decoder, void* destination, int32_t frameCount, double* progress)
{
    if (decoder == nullptr)
        return -1;
    return static_cast<Decoder*>(decoder)->readFrames(static_cast<uint8_t*>(destination), frameCount, progress);
}

int32_t closeRead(void* decoder)
{
    if (decoder != nullptr) {
        const auto release = static_cast<Decoder*>(decoder)->io().release;
        static_cast<Decoder*>(decoder)->~Decoder();
        release(decoder);
    }
    return 0;
}

void* openWrite(FileHandle file, StreamInfo* info)
{
    if (info == nullptr || !canWrite(hostIo()) || !FileHeader::holdsRate(info->sampleRate))
        return nullptr;
    return Encoder::open(file, *info);
}

int32_t writeFrames(void* encoder, const int32_t* samples, int32_t frameCount, int32_t* consumed, int64_t* position)
{
    if (encoder == nullptr)
        return -1;
    return static_cast<Encoder*>(encoder)->writeFrames(samples, frameCount, consumed, position);
}

int32_t closeWrite(void* encoder, int64_t totalFrames)
{
    if (encoder == nullptr)
        return -1;
    const int32_t result = static_cast<Encoder*>(encoder)->close(totalFrames);
    Encoder::destroy(static_cast<Encoder*>(encoder));
    return result;
}

void describeFormat(FormatInfo& format)
{
    format.interfaceNumbers[0] = 11;
    format.interfaceNumbers[1] = 30;
    format.interfaceNumbers[2] = 16;
    format.interfaceNumbers[3] = 13;
    copyText(format.shortName, sizeof format.shortName, "kfr");
    copyText(format.longName, sizeof format.longName, "Kestrelwave");
    copyText(format.extension, sizeof format.extension, "kfr");
    copyText(format.formatName, sizeof format.formatName, "kfr");
    copyText(format.description, sizeof format.description, "Lossless Compressed Audio Format");
    format.checkFormat = checkFormat;
    format.readInfo = readInfo;
    format.openRead = openRead;
    format.readFrames = readFrames;
    format.closeRead = closeRead;
    format.openWrite = openWrite;
    format.writeFrames = writeFrames;
    format.closeWrite = closeWrite;
}

} // namespace

const HostIoCallbacks& hostIo()
{
    const HostIoCallbacks* active = activeCallbacks.load(std::memory_order_acquire);
    return active != nullptr ? *active : noCallbacks;
}

void registerPlugInCallbacks(const HostIoCallbacks& callbacks, FormatInfo& format)
{
    describeFormat(format);
    const HostIoCallbacks* none = nullptr;
    activeCallbacks.compare_exchange_strong(none, &callbacks, std::memory_order_acq_rel);
}

} // namespace voltara::codec

using namespace voltara::codec;

int32_t FIO_InitPlugin(int32_t formatIndex, const HostIoCallbacks* callbacks, FormatInfo* format)
{
    if (formatIndex > 0 || callbacks == nullptr || format == nullptr)
        return 0;
    hostCallbacks = *callbacks;
    activeCallbacks.store(&hostCallbacks, std::memory_order_release);
    describeFormat(*format);
    return 1;
}

int32_t KFR_GetBlockStatistics(void* decoder, BlockStatistics* statistics)
{
    if (decoder == nullptr || statistics == nullptr)
        return -1;
    *statistics = static_cast<const Decoder*>(decoder)->statistics();
    return 0;
}
