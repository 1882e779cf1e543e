#include "tools/voltara/kfr/KfrCodec.h"

#include "tools/codechost/CodecHost.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/kfr/DiskFile.h"

namespace voltara {

KfrCodec::KfrCodec(const std::string& libraryPath) : library_(libraryPath)
{
    const auto init = library_.requiredEntry<codechost::InitEntry>("FIO_InitPlugin");
    statistics_ = library_.entry<Statistics>("KFR_GetBlockStatistics");
    if (!codechost::registerWith(init, "voltara kfr", format_))
        throw ToolError("the plug-in " + libraryPath + " refused to register its codec");
}

bool KfrCodec::statistics(void* decoder, codec::BlockStatistics& out) const
{
    return statistics_ != nullptr && statistics_(decoder, &out) == 0;
}

KfrStream::KfrStream(const KfrCodec& codec, DiskFile& file) : codec_(codec), file_(file)
{
    uint8_t magic[8] = {};
    if (!file.readAt(0, magic, 8) || codec.format().checkFormat(nullptr, magic) != 1)
        throw ToolError(file.path() + " is not a Kestrelwave file");
    if (codec.format().readInfo(&file, &info_) != 0) {
        info_.header = info_.trailing = nullptr;
        throw ToolError(file.shownPath() + ": the Kestrelwave header is malformed or the file is cut short");
    }
}

KfrStream::~KfrStream()
{
    codechost::release(info_.header);
    codechost::release(info_.trailing);
}

void* KfrStream::openDecoder()
{
    void* decoder = codec_.format().openRead(&file_, &info_);
    if (decoder == nullptr) {
        if (info_.channelCount != 1 && info_.channelCount != 2)
            throw ToolError(file_.path() + " has " + std::to_string(info_.channelCount)
                            + " channels; Kestrelwave decodes 1 or 2");
        if (info_.bitsPerSample != 8 && info_.bitsPerSample != 16 && info_.bitsPerSample != 24)
            throw ToolError(file_.path() + " has " + std::to_string(info_.bitsPerSample)
                            + "-bit samples; Kestrelwave decodes 8, 16 or 24 bits");
        throw ToolError(file_.path() + ": the codec could not open the stream");
    }
    return decoder;
}

void KfrStream::throwCutShort(int64_t framesDecoded) const
{
    throw ToolError(file_.path() + ": the compressed stream is cut short or corrupt after "
                    + std::to_string(framesDecoded) + " of " + std::to_string(info_.totalFrames) + " frames");
}

} // namespace voltara
