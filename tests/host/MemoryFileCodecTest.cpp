#include "tests/support/TestHost.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"
#include "tools/codechost/WaveBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace voltara {
namespace {

using codec::FormatInfo;
using codec::StreamInfo;
using test::TestHost;

constexpr int32_t frames = 1500;

// `main` registers the codec over files held in memory (the callbacks are
// tested with the codec). A host audio editor that registered its own
// callbacks through the library's FIO_InitPlugin, as these tests do, and then
// makes effect instances from the same library keeps its files.
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
        StreamInfo info = codechost::writeInfo(2, 44100, 16, header, trailing);
        ASSERT_TRUE(codechost::encodeStream(format, file, info, samples.data(), frames, 1000));
    }

    TestHost host;
    codechost::InitEntry init = nullptr;
    FormatInfo format = {};
    std::vector<int32_t> samples; // the codec's 24-bit scale
    std::vector<uint8_t> packed;  // the same as 16-bit wave samples
    std::vector<uint8_t> header, trailing;
    codechost::MemoryFile file; // the Kestrelwave file
};

TEST_F(MemoryFileCodec, AHostsRegistrationKeepsServingItsFilesAfterMain)
{
    for (int instance = 0; instance < 2; ++instance) {
        ASSERT_NE(host.open(), nullptr);
        StreamInfo info = {};
        ASSERT_EQ(format.readInfo(&file, &info), 0);
        EXPECT_EQ(info.trailingLength, 12);
        void* decoder = format.openRead(&file, &info);
        ASSERT_NE(decoder, nullptr);
        std::vector<uint8_t> decoded(4 * frames);
        double progress = 0.0;
        EXPECT_EQ(format.readFrames(decoder, decoded.data(), frames, &progress), frames);
        EXPECT_EQ(decoded, packed);
        EXPECT_EQ(format.closeRead(decoder), 0);
        codechost::release(info.header);
        codechost::release(info.trailing);
        host.close();
    }
    EXPECT_EQ(codechost::liveAllocations(), 0);
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
