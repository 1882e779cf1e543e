#include "tools/voltara/kfr/WaveLayout.h"

#include "codec/FileHeader.h"
#include "common/ByteOrder.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/kfr/DiskFile.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace voltara {

namespace {

std::string chunkName(const uint8_t* id)
{
    std::string name;
    for (int i = 0; i < 4; ++i)
        name += (id[i] >= 32 && id[i] < 127) ? static_cast<char>(id[i]) : '?';
    return "\"" + name + "\"";
}

// The "fmt " chunk: integer PCM in a layout Kestrelwave stores.
void readFormat(DiskFile& in, int64_t position, int64_t chunkSize, WaveLayout& wave)
{
    const std::string& name = in.path();
    uint8_t fmt[40] = {};
    if (chunkSize < 16)
        throw ToolError(name + ": the \"fmt \" chunk is too short");
    in.mustRead(position + 8, fmt, static_cast<size_t>(chunkSize < 40 ? chunkSize : 40));
    const uint16_t tag = littleEndian16(fmt);
    const bool extensiblePcm = tag == 0xFFFE && chunkSize >= 40 && littleEndian16(fmt + 24) == 1;
    if (tag != 1 && !extensiblePcm)
        throw ToolError(name + " holds no integer PCM samples (format tag " + std::to_string(tag)
                        + "); Kestrelwave stores 8-, 16- and 24-bit PCM");
    wave.channels = littleEndian16(fmt + 2);
    const uint32_t rate = littleEndian32(fmt + 4);
    if (!codec::FileHeader::holdsRate(rate))
        throw ToolError(name + " is at " + std::to_string(rate) + " Hz; Kestrelwave holds rates of 1 to "
                        + std::to_string(INT32_MAX) + " Hz");
    wave.rate = static_cast<int32_t>(rate);
    wave.bits = littleEndian16(fmt + 14);
    const int32_t blockAlign = littleEndian16(fmt + 12);
    if (wave.bits != 8 && wave.bits != 16 && wave.bits != 24)
        throw ToolError(name + " has " + std::to_string(wave.bits)
                        + "-bit samples; Kestrelwave stores 8, 16 or 24 bits");
    if (wave.channels != 1 && wave.channels != 2)
        throw ToolError(name + " has " + std::to_string(wave.channels) + " channels; Kestrelwave stores 1 or 2");
    if (blockAlign != wave.channels * wave.bits / 8)
        throw ToolError(name + ": block align " + std::to_string(blockAlign) + " does not match "
                        + std::to_string(wave.channels) + " channels of " + std::to_string(wave.bits) + " bits");
}

} // namespace

WaveLayout WaveLayout::of(DiskFile& in)
{
    const std::string& name = in.path();
    const int64_t size = in.size();
    uint8_t riff[12];
    if (size < 12 || !in.readAt(0, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0
        || std::memcmp(riff + 8, "WAVE", 4) != 0)
        throw ToolError(name + " is not a RIFF/WAVE file");
    WaveLayout wave;
    bool haveFormat = false;
    int64_t position = 12;
    for (;;) {
        uint8_t chunk[8];
        if (position + 8 > size || !in.readAt(position, chunk, 8))
            throw ToolError(name + " has no \"data\" chunk");
        const int64_t chunkSize = littleEndian32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            wave.dataOffset = position + 8;
            wave.dataBytes = chunkSize;
            break;
        }
        if (chunkSize & 1)
            throw ToolError(name + ": chunk " + chunkName(chunk) + " before the samples has an odd size ("
                            + std::to_string(chunkSize)
                            + "); Kestrelwave keeps no pad bytes before the samples, "
                              "so this file cannot be stored");
        if (position + 8 + chunkSize > size)
            throw ToolError(name + ": chunk " + chunkName(chunk) + " runs past the end of the file");
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            readFormat(in, position, chunkSize, wave);
            haveFormat = true;
        }
        position += 8 + chunkSize;
    }
    if (!haveFormat)
        throw ToolError(name + " has no \"fmt \" chunk before its samples");
    if (wave.dataOffset + wave.dataBytes > size) {
        const int64_t held = (size - wave.dataOffset) / wave.frameBytes();
        // Short of less than a frame, the frames are all there but the last bytes.
        throw ToolError((held < wave.frames()
                             ? cutShortMessage(name, wave.frames(), held)
                             : name + " is cut short: its header promises " + std::to_string(wave.dataBytes)
                                   + " bytes of samples, it holds " + std::to_string(size - wave.dataOffset))
                        + "; only whole files can be stored");
    }
    if (wave.dataBytes % wave.frameBytes() != 0)
        throw ToolError(name + ": the \"data\" chunk holds a partial frame");
    if (wave.dataOffset > INT32_MAX)
        throw ToolError(name + ": the header chunks are too large");
    // Odd sample data is followed by a zero pad byte, which belongs to the
    // data chunk and which decoding writes back; without it (or with another
    // byte in its place) the file would come back changed.
    uint8_t pad = 1;
    const int64_t padOffset = wave.dataOffset + wave.dataBytes;
    if ((wave.dataBytes & 1) && (padOffset >= size || !in.readAt(padOffset, &pad, 1) || pad != 0))
        throw ToolError(name
                        + ": no zero pad byte follows the odd-length sample data; "
                          "Kestrelwave would give this file back changed, so it cannot be stored");
    wave.header.resize(static_cast<size_t>(wave.dataOffset));
    in.mustRead(0, wave.header.data(), wave.header.size());
    // The pad byte after odd sample data belongs to the data chunk.
    const int64_t trailingOffset = std::min(size, wave.dataOffset + wave.dataBytes + (wave.dataBytes & 1));
    if (size - trailingOffset > INT32_MAX)
        throw ToolError(name + ": the chunks after the samples are too large");
    wave.trailing.resize(static_cast<size_t>(size - trailingOffset));
    in.mustRead(trailingOffset, wave.trailing.data(), wave.trailing.size());
    return wave;
}

void setWaveSizes(std::vector<uint8_t>& header, int64_t fileLength, int64_t sampleBytes)
{
    putLittleEndian32(header.data() + 4, static_cast<uint32_t>(fileLength - 8));
    putLittleEndian32(header.data() + header.size() - 4, static_cast<uint32_t>(sampleBytes));
}

} // namespace voltara
