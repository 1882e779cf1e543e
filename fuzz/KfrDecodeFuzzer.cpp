// libFuzzer target: any bytes as a Kestrelwave file through checkFormat,
// readInfo and the decoder. Must never crash, hang, read or write out of
// bounds, or allocate more than the file justifies.
#include "codec/CodecInterface.h"
#include "codec/FileHeader.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"

#include <vector>

using namespace voltara;
using codec::FormatInfo;
using codec::StreamInfo;

namespace {

constexpr int32_t framesPerCall = 1000;
constexpr int64_t framesPerInput = 1 << 18; // keeps every input quick

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FormatInfo format = [] {
        FormatInfo registered = {};
        codechost::registerWith(FIO_InitPlugin, "decode fuzzer", registered);
        return registered;
    }();
    codechost::MemoryFile file(std::vector<uint8_t>(data, data + size));
    codechost::setAllocationLimit(size + (1 << 16)); // the file's own bytes, or a decoder handle

    format.checkFormat(nullptr, size >= 4 ? data : reinterpret_cast<const uint8_t*>("\0\0\0\0"));
    StreamInfo info = {};
    if (format.readInfo(&file, &info) != 0)
        return 0;
    if (info.headerLength != info.streamOffset - codec::FileHeader::size || info.trailingLength < 0)
        __builtin_trap();
    void* decoder = format.openRead(&file, &info);
    if (decoder != nullptr) {
        const size_t frameBytes = static_cast<size_t>(info.channelCount) * static_cast<size_t>(info.bitsPerSample / 8);
        // One spare frame after the buffer is checked for writes past the count asked.
        std::vector<uint8_t> buffer((framesPerCall + 1) * frameBytes, 0xA5);
        int64_t frames = 0;
        while (frames < framesPerInput) {
            double progress = -1.0;
            const int32_t got = format.readFrames(decoder, buffer.data(), framesPerCall, &progress);
            if (got > framesPerCall || progress < 0.0 || progress > 1.0)
                __builtin_trap();
            for (size_t i = framesPerCall * frameBytes; i < buffer.size(); ++i)
                if (buffer[i] != 0xA5)
                    __builtin_trap();
            if (got < framesPerCall)
                break;
            frames += got;
        }
        format.closeRead(decoder);
    }
    codechost::release(info.header);
    codechost::release(info.trailing);
    return 0;
}
