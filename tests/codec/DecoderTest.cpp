#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/codec/CodecTestHost.h"
#include "tests/codec/ReferenceEncoder.h"

namespace voltara::codec {
namespace {

using test::BitSink;

void putLe(std::vector<uint8_t>& out, size_t at, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A Kestrelwave file around a hand-built stream.
std::vector<uint8_t> kfrFile(int32_t channels, int32_t bits, int32_t blockLength, int64_t totalFrames,
                             const std::vector<uint8_t>& stream, const std::vector<uint8_t>& trailing = {})
{
    std::vector<uint8_t> out(56, 0);
    std::memcpy(out.data(), "KFR ", 4);
    putLe(out, 4, 48, 4);
    out[8] = 1;
    out[10] = static_cast<uint8_t>(bits);
    out[11] = static_cast<uint8_t>(channels);
    putLe(out, 12, 44100, 4);
    putLe(out, 16, static_cast<uint32_t>(blockLength), 4);
    putLe(out, 24, static_cast<uint64_t>(totalFrames), 8);
    putLe(out, 32, stream.size(), 8);
    const std::vector<uint8_t> header = test::waveHeader(channels, 44100, bits, static_cast<uint32_t>(stream.size()));
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), stream.begin(), stream.end());
    if (stream.size() & 1)
        out.push_back(0);
    out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
}

std::vector<int16_t> as16(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

struct Decoding : ::testing::Test {
    void SetUp() override { format = test::registerTestHost(); }
    void TearDown() override { EXPECT_EQ(test::liveAllocations(), 0); }
    FormatInfo format;
};

TEST_F(Decoding, DifferenceFlagOnThenOffKeepsTheRightSlotCurrent)
{
    // left 10, 12 | 15, 11; right 13, 20 | 16, 30; block length 2; predictor 1
    // everywhere, fixed width 8.
    BitSink s;
    s.bit(0), s.bit(1), s.bit(0); // difference on
    for (int c = 0; c < 2; ++c)
        s.rice(1, 5), s.rice(3, 3), s.rice(8, 4);
    for (int32_t r : {10, 3, 2, 5}) // left 10 - 0; diff 3 - 0; left 12 - 10; diff 8 - 3
        s.field(static_cast<uint32_t>(r), 8);
    s.align();
    s.bit(0), s.bit(0), s.bit(0); // difference off: the right channel from slot 1
    for (int c = 0; c < 2; ++c)
        s.rice(1, 5), s.rice(3, 3), s.rice(8, 4);
    for (int32_t r : {3, -4, -4, 14})
        s.field(static_cast<uint32_t>(r), 8);
    s.align();
    const test::Decoded d = test::decode(format, kfrFile(2, 16, 2, 4, s.bytes()), 3);
    ASSERT_EQ(d.readInfoResult, 0);
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(as16(d.samples), (std::vector<int16_t>{10, 13, 12, 20, 15, 16, 11, 30}));
}

TEST_F(Decoding, RiceParameterZeroReadsOnlyTheRunAndTheSign)
{
    BitSink s;
    s.bit(0), s.bit(0), s.bit(0);
    s.rice(0, 5), s.rice(1, 3), s.rice(0, 4); // predictor 0, fixed Rice, k = 0
    for (int32_t r : {0, 1, -2, 3})
        s.signedRice(r, 0);
    s.align();
    EXPECT_EQ(s.bytes().size(), 4u); // 3 + 6 + 4 + 5 header bits, then 2 + 3 + 4 + 5
    const test::Decoded d = test::decode(format, kfrFile(1, 16, 256, 4, s.bytes()));
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(as16(d.samples), (std::vector<int16_t>{0, 1, -2, 3}));
}

TEST_F(Decoding, CodingTypeZeroIsSilenceAndEightBitZeroIs128)
{
    BitSink s;
    s.bit(0), s.bit(0), s.bit(1); // shift flag: irrelevant for silence
    s.rice(7, 5), s.rice(0, 3);   // any predictor, coding type 0
    s.align();
    const test::Decoded d = test::decode(format, kfrFile(1, 8, 32, 5, s.bytes()));
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.samples, std::vector<uint8_t>(5, 128));
}

TEST_F(Decoding, ShiftFlagMultipliesBy256AndHistoriesStayShifted)
{
    BitSink s;
    s.bit(0), s.bit(0), s.bit(1);
    s.rice(1, 5), s.rice(3, 3), s.rice(4, 4); // predictor 1, width 4
    for (int32_t r : {1, 2, -1})
        s.field(static_cast<uint32_t>(r), 4);
    s.align();
    const test::Decoded d = test::decode(format, kfrFile(1, 24, 256, 3, s.bytes()));
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.samples, test::packSamples({256, 3 * 256, 2 * 256}, 24));
}

TEST_F(Decoding, LastBlockIsShorter)
{
    BitSink s;
    for (int block = 0; block < 2; ++block) {
        s.align();
        s.bit(0), s.bit(0), s.bit(0);
        s.rice(0, 5), s.rice(3, 3), s.rice(3, 4);
        for (int i = 0; i < (block == 0 ? 32 : 5); ++i)
            s.field(static_cast<uint32_t>(i % 3), 3);
    }
    s.align();
    const test::Decoded d = test::decode(format, kfrFile(1, 16, 32, 37, s.bytes()), 1000);
    EXPECT_TRUE(d.complete);
    ASSERT_EQ(d.samples.size(), 74u);
    EXPECT_EQ(as16(d.samples)[36], 4 % 3);
}

TEST_F(Decoding, ReadInfoFindsHeaderAndTrailingChunksPastAnOddStream)
{
    BitSink s;
    s.bit(0), s.bit(0), s.bit(0);
    s.rice(0, 5), s.rice(0, 3);
    s.align();     // 2 bytes
    s.field(0, 8); // a third byte: odd length
    const std::vector<uint8_t> trailing = test::chunk("LIST", "abcd");
    const std::vector<uint8_t> file = kfrFile(1, 16, 32, 1, s.bytes(), trailing);
    const test::Decoded d = test::decode(format, file);
    ASSERT_EQ(d.readInfoResult, 0);
    EXPECT_EQ(d.info.channelCount, 1);
    EXPECT_EQ(d.info.sampleRate, 44100);
    EXPECT_EQ(d.info.streamLength, 3);
    EXPECT_EQ(d.info.totalFrames, 1);
    EXPECT_EQ(d.info.totalFramesAgain, 1);
    EXPECT_EQ(d.info.blockLength, 32);
    EXPECT_EQ(d.info.bitsPerSample, 16);
    EXPECT_EQ(d.info.streamOffset, 56 + 44);
    EXPECT_EQ(d.header, test::waveHeader(1, 44100, 16, 3));
    EXPECT_EQ(d.trailing, trailing);
    EXPECT_TRUE(d.complete);
}

TEST_F(Decoding, RefusesMalformedHeaders)
{
    BitSink s;
    s.bit(0), s.bit(0), s.bit(0), s.rice(0, 5), s.rice(0, 3);
    s.align();
    const std::vector<uint8_t> good = kfrFile(1, 16, 32, 10, s.bytes());
    ASSERT_EQ(test::decode(format, good).readInfoResult, 0);
    const auto patched = [&](size_t at, uint64_t value, int bytes) {
        std::vector<uint8_t> bad = good;
        putLe(bad, at, value, bytes);
        return test::decode(format, bad);
    };
    EXPECT_EQ(patched(16, 0, 4).readInfoResult, -1);               // block length 0
    EXPECT_EQ(patched(16, uint32_t(-5), 4).readInfoResult, -1);    // negative block length
    EXPECT_EQ(patched(16, 40000, 4).readInfoResult, -1);           // above what the encoder writes
    EXPECT_EQ(patched(24, uint64_t(-1), 8).readInfoResult, -1);    // negative frame count
    EXPECT_EQ(patched(24, 33, 8).readInfoResult, -1);              // two blocks in a 2-byte stream
    EXPECT_EQ(patched(32, uint64_t(-2), 8).readInfoResult, -1);    // negative stream length
    EXPECT_EQ(patched(32, 1000, 8).readInfoResult, -1);            // stream beyond the file
    EXPECT_EQ(patched(56 + 16, 0x7FFFFFF0, 4).readInfoResult, -1); // fmt chunk size runs off the file
    std::vector<uint8_t> noData = good;
    std::memcpy(noData.data() + 56 + 36, "atad", 4);
    EXPECT_EQ(test::decode(format, noData).readInfoResult, -1); // no "data" chunk before the end
    EXPECT_EQ(test::decode(format, std::vector<uint8_t>(good.begin(), good.begin() + 40)).readInfoResult, -1);
}

TEST_F(Decoding, OpenReadRefusesUnsupportedLayouts)
{
    test::TestFile file;
    StreamInfo info = {};
    info.channelCount = 3;
    info.bitsPerSample = 16;
    info.blockLength = 256;
    info.streamLength = 100;
    EXPECT_EQ(format.openRead(&file, &info), nullptr);
    info.channelCount = 2;
    info.bitsPerSample = 12;
    EXPECT_EQ(format.openRead(&file, &info), nullptr);
    info.bitsPerSample = 24;
    void* decoder = format.openRead(&file, &info);
    EXPECT_NE(decoder, nullptr);
    EXPECT_EQ(format.closeRead(decoder), 0);
}

TEST_F(Decoding, CutShortStreamReturnsTheFramesDecodedSoFar)
{
    BitSink s;
    s.bit(0), s.bit(0), s.bit(0);
    s.rice(0, 5), s.rice(3, 3), s.rice(16, 4);
    for (int i = 0; i < 100; ++i)
        s.field(static_cast<uint32_t>(i), 16);
    s.align();
    std::vector<uint8_t> file = kfrFile(1, 16, 128, 128, s.bytes()); // promises 28 frames more
    // The stream length must cover what the frame count needs, so claim it and
    // cut the file instead: the last bytes are lost.
    test::TestFile host;
    host.bytes = file;
    StreamInfo info = {};
    ASSERT_EQ(format.readInfo(&host, &info), 0);
    void* decoder = format.openRead(&host, &info);
    ASSERT_NE(decoder, nullptr);
    std::vector<uint8_t> out(128 * 2);
    double progress = 0.0;
    EXPECT_EQ(format.readFrames(decoder, out.data(), 128, &progress), 100);
    EXPECT_DOUBLE_EQ(progress, 100.0 / 128.0);
    EXPECT_EQ(format.readFrames(decoder, out.data(), 128, &progress), -1);
    format.closeRead(decoder);
    test::releaseBlock(info.header);
}

TEST_F(Decoding, RiceParameterAboveThirtyTwoEndsDecoding)
{
    BitSink s;
    s.bit(0), s.bit(0), s.bit(0);
    s.rice(0, 5), s.rice(1, 3), s.rice(33, 4);
    s.field(0xFFFFFFFF, 32);
    s.align();
    const test::Decoded d = test::decode(format, kfrFile(1, 16, 32, 1, s.bytes()));
    ASSERT_EQ(d.readInfoResult, 0);
    EXPECT_FALSE(d.complete);
    EXPECT_TRUE(d.samples.empty());
}

TEST_F(Decoding, TruncatedAndCorruptedFilesNeverCrash)
{
    test::EncodeRequest request;
    request.samples = test::guitarSignal(3000, 2, 16, 11);
    request.trailing = test::chunk("LIST", "trailing");
    const std::vector<uint8_t> file = test::encode(format, request);
    ASSERT_FALSE(file.empty());
    for (size_t length = 0; length < file.size(); length += 37)
        test::decode(format, std::vector<uint8_t>(file.begin(), file.begin() + length));
    std::mt19937 random(3);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<uint8_t> bad = file;
        for (int flips = 1 + random() % 8; flips > 0; --flips)
            bad[random() % bad.size()] ^= static_cast<uint8_t>(1 + random() % 255);
        test::decode(format, bad);
    }
}

} // namespace
} // namespace voltara::codec
