#include <gtest/gtest.h>

#include <cstring>

#include "CodecTestHost.h"
#include "codec/MemoryFile.h"

namespace voltara::codec {
namespace {

TEST(Interface, IndexOneLeavesTheDescriptionUntouched)
{
    HostIoCallbacks callbacks = {};
    FormatInfo format;
    std::memset(&format, 0xAB, sizeof format);
    const FormatInfo before = format;
    EXPECT_EQ(FIO_InitPlugin(1, &callbacks, &format), 0);
    EXPECT_EQ(std::memcmp(&format, &before, sizeof format), 0);
}

TEST(Interface, FillsTheDescriptionAndLeavesTheHostsEntries)
{
    HostIoCallbacks callbacks = {};
    FormatInfo format;
    std::memset(&format, 0xAB, sizeof format);
    void* hostEntries[5];
    std::memcpy(hostEntries, format.hostEntries, sizeof hostEntries);
    EXPECT_EQ(FIO_InitPlugin(-1, &callbacks, &format), 1); // a negative index selects the only format
    EXPECT_EQ(format.interfaceNumbers[0], 11);
    EXPECT_EQ(format.interfaceNumbers[1], 30);
    EXPECT_EQ(format.interfaceNumbers[2], 16);
    EXPECT_EQ(format.interfaceNumbers[3], 13);
    EXPECT_STREQ(format.shortName, "kfr");
    EXPECT_STREQ(format.longName, "Kestrelwave");
    EXPECT_STREQ(format.extension, "kfr");
    EXPECT_STREQ(format.formatName, "kfr");
    EXPECT_STREQ(format.description, "Lossless Compressed Audio Format");
    EXPECT_EQ(format.shortName[31], 0);
    EXPECT_EQ(std::memcmp(hostEntries, format.hostEntries, sizeof hostEntries), 0);
    for (const void* entry :
         {(const void*)format.checkFormat, (const void*)format.readInfo, (const void*)format.openRead,
          (const void*)format.readFrames, (const void*)format.closeRead, (const void*)format.openWrite,
          (const void*)format.writeFrames, (const void*)format.closeWrite})
        EXPECT_NE(entry, nullptr);
}

TEST(Interface, CheckFormatWantsTheSpace)
{
    const FormatInfo format = test::registerTestHost();
    EXPECT_EQ(format.checkFormat(nullptr, reinterpret_cast<const uint8_t*>("KFR \x30\0\0\0")), 1);
    EXPECT_EQ(format.checkFormat(nullptr, reinterpret_cast<const uint8_t*>("KFR\0\x30\0\0\0")), 0);
    EXPECT_EQ(format.checkFormat(nullptr, reinterpret_cast<const uint8_t*>("RIFF\x30\0\0\0")), 0);
}

TEST(Interface, NullHandles)
{
    const FormatInfo format = test::registerTestHost();
    EXPECT_EQ(format.closeRead(nullptr), 0);
    EXPECT_EQ(format.readFrames(nullptr, nullptr, 10, nullptr), -1);
    EXPECT_EQ(format.writeFrames(nullptr, nullptr, 10, nullptr, nullptr), -1);
    EXPECT_EQ(format.closeWrite(nullptr, 0), -1);
}

TEST(Interface, OpenHandlesKeepTheirCallbacksWhenRegisteredAgain)
{
    const FormatInfo format = test::registerTestHost();
    test::EncodeRequest request;
    request.samples = test::guitarSignal(40000, 2, 16, 9);
    test::TestFile file;
    file.bytes = test::encode(format, request);
    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(&file, &info), 0);
    void* decoder = format.openRead(&file, &info);
    ASSERT_NE(decoder, nullptr);
    std::vector<uint8_t> samples(40000 * 4);
    double progress;
    EXPECT_EQ(format.readFrames(decoder, samples.data(), 100, &progress), 100);
    registerCodecForMemoryFiles(); // as every call of `main` does
    EXPECT_EQ(format.readFrames(decoder, samples.data() + 400, 39900, &progress), 39900);
    EXPECT_EQ(samples, test::packSamples(request.samples, 16));
    format.closeRead(decoder); // through the test allocator that made it
    test::releaseBlock(info.header);
    EXPECT_EQ(test::liveAllocations(), 0);
    test::registerTestHost();
}

TEST(Interface, MemoryFileRegistrationReadsFilesHeldInMemory)
{
    FormatInfo format = test::registerTestHost();
    test::EncodeRequest request;
    request.samples = test::guitarSignal(1500, 2, 16, 8);
    request.trailing = test::chunk("LIST", "tail");
    const std::vector<uint8_t> file = test::encode(format, request);
    ASSERT_FALSE(file.empty());

    registerCodecForMemoryFiles();
    format = memoryFileFormat();
    EXPECT_STREQ(format.longName, "Kestrelwave");
    EXPECT_STREQ(hostIo().hostName, "Axewright Voltara");
    EXPECT_EQ(hostIo().reserved[0], 0u);
    EXPECT_EQ(hostIo().reserved[1], 1u);
    // A file handle: the size in the first word, the bytes 16 bytes further on.
    std::vector<uint8_t> block(16 + file.size());
    const int32_t size = static_cast<int32_t>(file.size());
    std::memcpy(block.data(), &size, 4);
    std::memcpy(block.data() + 16, file.data(), file.size());
    EXPECT_EQ(memoryFileSize(block.data()), size);
    EXPECT_EQ(memoryFileWriteAt(block.data(), 0, nullptr, 4), 0);
    uint8_t byte;
    EXPECT_EQ(memoryFileReadAt(nullptr, 0, &byte, 1), 0);
    EXPECT_NE(memoryFileReadAt(block.data(), size, &byte, 1), 0); // past the end: refused
    const int32_t negative = -5;
    std::vector<uint8_t> broken(block);
    std::memcpy(broken.data(), &negative, 4);
    EXPECT_NE(memoryFileReadAt(broken.data(), 0, &byte, 1), 0);

    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(block.data(), &info), 0);
    EXPECT_EQ(info.trailingLength, 12);
    void* decoder = format.openRead(block.data(), &info);
    ASSERT_NE(decoder, nullptr);
    std::vector<uint8_t> samples(1500 * 4);
    double progress = 0;
    EXPECT_EQ(format.readFrames(decoder, samples.data(), 1500, &progress), 1500);
    EXPECT_EQ(progress, 1.0);
    EXPECT_EQ(samples, test::packSamples(request.samples, 16));
    EXPECT_EQ(format.closeRead(decoder), 0);
    hostIo().release(info.header);
    hostIo().release(info.trailing);
    test::registerTestHost();
}

} // namespace
} // namespace voltara::codec
