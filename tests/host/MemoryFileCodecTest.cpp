#include "tests/support/TestHost.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"
#include "tools/codechost/WaveBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace voltara {
namespace {

using codec::FormatInfo;
using codec::StreamInfo;
using test::TestHost;

constexpr int32_t frames = 1500;

// `main` registers the codec over files held in memory, on every call: a file
// handle is a block whose first word is the file's size, with the file's
// bytes 16 bytes further on. The tests reach the codec as an audio editor
// does, through the library's FIO_InitPlugin, and see what each `main` call
// leaves registered.
struct MemoryFileCodec : ::testing::Test {
    void SetUp() override
    {
        init = reinterpret_cast<codechost::InitEntry>(host.symbol("FIO_InitPlugin"));
        ASSERT_NE(init, nullptr);
        ASSERT_TRUE(codechost::registerWith(init, "host tests", format));
        for (int32_t i = 0; i < 2 * frames; ++i)
            samples.push_back(static_cast<int32_t>(std::lround(9000.0 * std::sin(0.01 * i))) * 256);
        for (const int32_t sample : samples) {
            const int32_t value = sample / 256;
            packed.push_back(static_cast<uint8_t>(value));
            packed.push_back(static_cast<uint8_t>(value >> 8));
        }
        header = codechost::waveHeader(2, 44100, 16, 4 * frames);
        trailing = codechost::chunk("LIST", "tail");
        StreamInfo info = streamInfo();
        ASSERT_TRUE(codechost::encodeStream(format, file, info, samples.data(), frames, 1000));
        block.assign(16 + file.bytes.size(), 0);
        setSizeWord(static_cast<int32_t>(file.bytes.size()));
        std::memcpy(block.data() + 16, file.bytes.data(), file.bytes.size());
    }

    StreamInfo streamInfo()
    {
        StreamInfo info = {};
        info.channelCount = 2;
        info.sampleRate = 44100;
        info.bitsPerSample = 16;
        info.header = header.data();
        info.headerLength = static_cast<int32_t>(header.size());
        info.trailing = trailing.data();
        info.trailingLength = static_cast<int32_t>(trailing.size());
        return info;
    }

    void setSizeWord(int32_t size) { std::memcpy(block.data(), &size, sizeof size); }

    TestHost host;
    codechost::InitEntry init = nullptr;
    FormatInfo format = {};
    std::vector<int32_t> samples; // the codec's 24-bit scale
    std::vector<uint8_t> packed;  // the same as 16-bit wave samples
    std::vector<uint8_t> header, trailing;
    codechost::MemoryFile file; // the Kestrelwave file
    std::vector<uint8_t> block; // the file as `main`'s callbacks take it
};

TEST_F(MemoryFileCodec, AfterMainTheCodecReadsFilesHeldInMemory)
{
    ASSERT_NE(host.open(), nullptr);
    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(block.data(), &info), 0);
    EXPECT_EQ(info.trailingLength, 12);
    void* decoder = format.openRead(block.data(), &info);
    ASSERT_NE(decoder, nullptr);
    std::vector<uint8_t> decoded(4 * frames);
    double progress = 0.0;
    EXPECT_EQ(format.readFrames(decoder, decoded.data(), frames, &progress), frames);
    EXPECT_EQ(progress, 1.0);
    EXPECT_EQ(decoded, packed);
    EXPECT_EQ(format.closeRead(decoder), 0);
    // Both blocks come from the process heap that `main` registered.
    std::free(info.header);
    std::free(info.trailing);
}

// A null block is no file: every read of it fails, so nothing is decoded from
// bytes that were never read (here, what the last good file left behind).
TEST_F(MemoryFileCodec, ANullBlockIsNoFile)
{
    ASSERT_NE(host.open(), nullptr);
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

TEST_F(MemoryFileCodec, ReadsStayInsideTheFileItsSizeWordGives)
{
    ASSERT_NE(host.open(), nullptr);
    for (const int32_t size : {40, 0, -5}) {
        setSizeWord(size);
        StreamInfo info = {};
        EXPECT_EQ(format.readInfo(block.data(), &info), -1) << size;
    }
}

TEST_F(MemoryFileCodec, WritingThroughMemoryFilesSucceedsAndChangesNothing)
{
    ASSERT_NE(host.open(), nullptr);
    const std::vector<uint8_t> before = block;
    StreamInfo info = streamInfo();
    void* encoder = format.openWrite(block.data(), &info);
    ASSERT_NE(encoder, nullptr);
    int32_t consumed = 0;
    EXPECT_EQ(format.writeFrames(encoder, samples.data(), frames, &consumed, nullptr), 0);
    EXPECT_EQ(format.writeFrames(encoder, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(format.closeWrite(encoder, frames), 0);
    EXPECT_EQ(block, before);
}

TEST_F(MemoryFileCodec, OpenHandlesKeepTheirCallbacksWhenMainRegistersAgain)
{
    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(&file, &info), 0);
    void* decoder = format.openRead(&file, &info);
    ASSERT_NE(decoder, nullptr);
    std::vector<uint8_t> decoded(4 * frames);
    double progress = 0.0;
    EXPECT_EQ(format.readFrames(decoder, decoded.data(), 100, &progress), 100);
    ASSERT_NE(host.open(), nullptr);
    EXPECT_EQ(format.readFrames(decoder, decoded.data() + 400, frames - 100, &progress), frames - 100);
    EXPECT_EQ(decoded, packed);
    EXPECT_EQ(format.closeRead(decoder), 0);
    codechost::release(info.header);
    codechost::release(info.trailing);
    EXPECT_EQ(codechost::liveAllocations(), 0);
}

} // namespace
} // namespace voltara
