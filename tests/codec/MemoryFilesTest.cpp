#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/MemoryFiles.h"
#include "tests/codec/CodecTestHost.h"

// The plug-in's own callbacks over files held in memory, registered here as
// a host registers its table: a file handle is a block whose first word is
// the file's size, with the file's bytes 16 bytes further on.
namespace voltara::codec {
namespace {

constexpr int32_t frames = 1500;

struct MemoryFiles : ::testing::Test {
    void SetUp() override
    {
        const FormatInfo testFormat = test::registerTestHost();
        request.samples = test::guitarSignal(frames, 2, 16, 3);
        request.trailing = test::chunk("LIST", "tail");
        const std::vector<uint8_t> file = test::encode(testFormat, request);
        block.assign(16 + file.size(), 0);
        setSizeWord(static_cast<int32_t>(file.size()));
        std::memcpy(block.data() + 16, file.data(), file.size());
        ASSERT_EQ(FIO_InitPlugin(0, &memoryFileCallbacks(), &format), 1);
    }
    void TearDown() override { test::registerTestHost(); }

    void setSizeWord(int32_t size) { std::memcpy(block.data(), &size, sizeof size); }

    test::EncodeRequest request;
    FormatInfo format = {};
    std::vector<uint8_t> block; // the file as the callbacks take it
};

TEST_F(MemoryFiles, TheCodecReadsFilesHeldInMemory)
{
    EXPECT_STREQ(memoryFileCallbacks().hostName, "Axewright Voltara");
    EXPECT_EQ(memoryFileCallbacks().reserved[0], 0u);
    EXPECT_EQ(memoryFileCallbacks().reserved[1], 1u);
    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(block.data(), &info), 0);
    EXPECT_EQ(info.trailingLength, 12);
    void* decoder = format.openRead(block.data(), &info);
    ASSERT_NE(decoder, nullptr);
    std::vector<uint8_t> decoded(4 * frames);
    double progress = 0.0;
    EXPECT_EQ(format.readFrames(decoder, decoded.data(), frames, &progress), frames);
    EXPECT_EQ(progress, 1.0);
    EXPECT_EQ(decoded, test::packSamples(request.samples, 16));
    EXPECT_EQ(format.closeRead(decoder), 0);
    // Both blocks come from the process heap.
    std::free(info.header);
    std::free(info.trailing);
}

// A null block is no file: every read of it fails, so nothing is decoded from
// bytes that were never read (here, what the last good file left behind).
TEST_F(MemoryFiles, ANullBlockIsNoFile)
{
    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(block.data(), &info), 0);
    std::free(info.header);
    std::free(info.trailing);
    // A decoder opened on it with a good file's information decodes nothing.
    void* decoder = format.openRead(nullptr, &info);
    if (decoder) {
        std::vector<uint8_t> decoded(4 * frames);
        double progress = 0.0;
        EXPECT_LE(format.readFrames(decoder, decoded.data(), frames, &progress), 0);
        format.closeRead(decoder);
    }
    std::memset(&info, 0x5a, sizeof info);
    EXPECT_EQ(format.readInfo(nullptr, &info), -1);
    EXPECT_EQ(info.channelCount, 0x5a5a5a5a) << "taken from bytes never read";
    EXPECT_EQ(info.sampleRate, 0x5a5a5a5a) << "taken from bytes never read";
}

TEST_F(MemoryFiles, ReadsStayInsideTheFileItsSizeWordGives)
{
    for (const int32_t size : {40, 0, -5}) {
        setSizeWord(size);
        StreamInfo info = {};
        EXPECT_EQ(format.readInfo(block.data(), &info), -1) << size;
    }
}

TEST_F(MemoryFiles, WritingSucceedsAndChangesNothing)
{
    const std::vector<uint8_t> before = block;
    std::vector<uint8_t> header = test::waveHeader(2, 44100, 16, 4 * frames), none;
    StreamInfo info = codechost::writeInfo(2, 44100, 16, header, none);
    void* encoder = format.openWrite(block.data(), &info);
    ASSERT_NE(encoder, nullptr);
    std::vector<int32_t> samples(2 * frames);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = request.samples[i] * 256; // the codec's 24-bit scale
    int32_t consumed = 0;
    EXPECT_EQ(format.writeFrames(encoder, samples.data(), frames, &consumed, nullptr), 0);
    EXPECT_EQ(format.writeFrames(encoder, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(format.closeWrite(encoder, frames), 0);
    EXPECT_EQ(block, before);
}

// `main` registers these callbacks on every call; a host that registered its
// own keeps them, whatever the order.
TEST_F(MemoryFiles, ThePlugInsRegistrationNeverDisplacesAHosts)
{
    const FormatInfo testFormat = test::registerTestHost();
    const std::vector<uint8_t> file = test::encode(testFormat, request);
    FormatInfo described = {};
    registerPlugInCallbacks(memoryFileCallbacks(), described);
    EXPECT_EQ(described.readInfo, testFormat.readInfo);
    EXPECT_STREQ(described.longName, "Kestrelwave");
    const test::Decoded decoded = test::decode(testFormat, file);
    EXPECT_EQ(decoded.readInfoResult, 0);
    EXPECT_TRUE(decoded.complete);
    EXPECT_EQ(decoded.samples, test::packSamples(request.samples, 16));
}

} // namespace
} // namespace voltara::codec
