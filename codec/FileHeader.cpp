#include "codec/FileHeader.h"

#include "common/ByteOrder.h"

#include <cstring>

namespace voltara::codec {

namespace {

constexpr uint32_t restOfHeader = FileHeader::size - 8;

} // namespace

void FileHeader::store(uint8_t* bytes) const
{
    std::memset(bytes, 0, size);
    std::memcpy(bytes, magic, 4);
    putLittleEndian32(bytes + 4, restOfHeader);
    bytes[versionOffset] = 1;
    bytes[versionOffset + 1] = 0;
    bytes[10] = static_cast<uint8_t>(bitsPerSample);
    bytes[11] = static_cast<uint8_t>(channelCount);
    putLittleEndian32(bytes + 12, static_cast<uint32_t>(sampleRate));
    putLittleEndian32(bytes + 16, static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(blockLength))));
    putLittleEndian64(bytes + 24, static_cast<uint64_t>(totalFrames));
    putLittleEndian64(bytes + 32, static_cast<uint64_t>(streamLength));
}

FileHeader FileHeader::load(const uint8_t* bytes)
{
    FileHeader header;
    header.bitsPerSample = static_cast<int8_t>(bytes[10]);
    header.channelCount = static_cast<int8_t>(bytes[11]);
    header.sampleRate = static_cast<int32_t>(littleEndian32(bytes + 12));
    header.blockLength = static_cast<int32_t>(littleEndian32(bytes + 16));
    header.totalFrames = static_cast<int64_t>(littleEndian64(bytes + 24));
    header.streamLength = static_cast<int64_t>(littleEndian64(bytes + 32));
    return header;
}

bool FileHeader::hasMagic(const uint8_t* bytes)
{
    return std::memcmp(bytes, magic, 4) == 0;
}

} // namespace voltara::codec
