#include <gtest/gtest.h>

#include <cstring>

#include "tests/codec/CodecTestHost.h"

namespace voltara::codec {
namespace {

// A stereo 16-bit file of guitar-like samples; request keeps the samples.
test::TestFile encodedGuitar(const FormatInfo& format, int32_t frames, uint32_t seed, test::EncodeRequest& request)
{
    request.samples = test::guitarSignal(frames, 2, 16, seed);
    test::TestFile file;
    file.bytes = test::encode(format, request);
    return file;
}

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
    test::TestFile file = encodedGuitar(format, 40000, 9, request);
    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(&file, &info), 0);
    void* decoder = format.openRead(&file, &info);
    ASSERT_NE(decoder, nullptr);
    std::vector<uint8_t> samples(40000 * 4);
    double progress;
    EXPECT_EQ(format.readFrames(decoder, samples.data(), 100, &progress), 100);
    // Registered again, as every call of `main` does, here with no callbacks
    // at all: the open handle reads on through its own.
    const HostIoCallbacks none = {};
    FormatInfo again = {};
    ASSERT_EQ(FIO_InitPlugin(0, &none, &again), 1);
    EXPECT_EQ(format.readFrames(decoder, samples.data() + 400, 39900, &progress), 39900);
    EXPECT_EQ(samples, test::packSamples(request.samples, 16));
    format.closeRead(decoder); // through the test allocator that made it
    test::releaseBlock(info.header);
    EXPECT_EQ(test::liveAllocations(), 0);
    test::registerTestHost();
}

// The header's rate is a signed 32-bit field: a wave file's rate beyond it
// (4,000,000,000 Hz would read back as -294,967,296) is refused when writing,
// and a stored rate that is no positive number when reading, so that no
// reader takes it for a length.
TEST(Interface, RatesTheHeaderCannotHoldAreRefused)
{
    const FormatInfo format = test::registerTestHost();
    test::EncodeRequest request;
    const test::TestFile file = encodedGuitar(format, 1000, 4, request);
    ASSERT_FALSE(file.bytes.empty());
    std::vector<uint8_t> header = test::waveHeader(2, 44100, 16, 4000), none;
    for (const int32_t rate : {0, -1, int32_t(4000000000u), INT32_MIN}) {
        StreamInfo info = codechost::writeInfo(2, rate, 16, header, none);
        test::TestFile written;
        EXPECT_EQ(format.openWrite(&written, &info), nullptr) << rate;
        EXPECT_TRUE(written.bytes.empty()) << rate;

        test::TestFile stored = file;
        std::memcpy(stored.bytes.data() + 12, &rate, 4);
        StreamInfo read = {};
        EXPECT_EQ(format.readInfo(&stored, &read), -1) << rate;
        EXPECT_EQ(read.header, nullptr);
        EXPECT_EQ(read.trailing, nullptr);
    }
    EXPECT_EQ(test::liveAllocations(), 0);
}

} // namespace
} // namespace voltara::codec
