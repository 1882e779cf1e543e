#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "codec/BitReader.h"
#include "codec/BitWriter.h"
#include "tests/codec/CodecTestHost.h"
#include "tests/codec/ReferenceEncoder.h"

namespace voltara::codec {
namespace {

using test::TestFile;

struct BitStream : ::testing::Test {
    void SetUp() override { test::registerTestHost(); }

    std::unique_ptr<BitReader> readerOver(TestFile& file, int64_t offset = 0)
    {
        auto reader = std::make_unique<BitReader>();
        reader->open(hostIo(), &file, offset, static_cast<int64_t>(file.bytes.size()) - offset);
        return reader;
    }
};

TEST_F(BitStream, WriterMatchesTheBitAtATimeSink)
{
    std::mt19937 random(7);
    TestFile file;
    auto writer = std::make_unique<BitWriter>();
    writer->open(hostIo(), &file, 0);
    test::BitSink sink;
    for (int i = 0; i < 200000; ++i) {
        const int32_t k = static_cast<int32_t>(random() % 33);
        const int32_t value = static_cast<int32_t>(random()) >> (random() % 32);
        switch (random() % 4) {
        case 0:
            writer->writeBits(static_cast<uint32_t>(value), k);
            sink.field(static_cast<uint32_t>(value), k);
            break;
        case 1:
            writer->writeSignedRice(value >> 12, k % 20);
            sink.signedRice(value >> 12, k % 20);
            break;
        case 2:
            writer->writeRice(static_cast<uint32_t>(value) >> 16, k);
            sink.rice(static_cast<uint32_t>(value) >> 16, k);
            break;
        default: writer->alignToByte(); sink.align();
        }
    }
    writer->alignToByte();
    sink.align();
    ASSERT_TRUE(writer->finish());
    EXPECT_EQ(file.bytes, sink.bytes());
    EXPECT_EQ(writer->bytesFlushed(), static_cast<int64_t>(sink.bytes().size()));
}

TEST_F(BitStream, ReaderReadsWhatTheSinkWrote)
{
    test::BitSink sink;
    sink.field(5, 3);
    sink.rice(0, 0);        // a lone 1 bit
    sink.signedRice(-9, 0); // 9 zeros, 1, sign
    sink.signedRice(0, 4);  // "-0" is written as +0
    sink.signedRice(-70000, 32);
    sink.field(0xDEADBEEF, 32);
    sink.rice(300000, 1); // a run of 150000 zeros, across refills
    sink.bit(1);
    TestFile file;
    file.bytes = {0xAA, 0xBB}; // the stream starts at offset 2
    file.bytes.insert(file.bytes.end(), sink.bytes().begin(), sink.bytes().end());
    auto reader = readerOver(file, 2);
    uint32_t u;
    int32_t s;
    ASSERT_TRUE(reader->readBits(3, u));
    EXPECT_EQ(u, 5u);
    ASSERT_TRUE(reader->readRice(0, u));
    EXPECT_EQ(u, 0u);
    ASSERT_TRUE(reader->readSignedRice(0, s));
    EXPECT_EQ(s, -9);
    ASSERT_TRUE(reader->readSignedRice(4, s));
    EXPECT_EQ(s, 0);
    ASSERT_TRUE(reader->readSignedRice(32, s));
    EXPECT_EQ(s, -70000);
    ASSERT_TRUE(reader->readBits(32, u));
    EXPECT_EQ(u, 0xDEADBEEFu);
    ASSERT_TRUE(reader->readRice(1, u));
    EXPECT_EQ(u, 300000u);
    ASSERT_TRUE(reader->readBits(1, u));
    EXPECT_EQ(u, 1u);
    EXPECT_LE(file.largestRead, BitReader::bufferBytes);
    // Only padding is left: a run that never ends fails instead of waiting.
    uint64_t zeros;
    EXPECT_FALSE(reader->readUnary(zeros));
    EXPECT_TRUE(reader->failed());
}

TEST_F(BitStream, ReaderStopsAtTheEndOfTheStream)
{
    TestFile file;
    file.bytes = {0xFF, 0x01};
    auto reader = std::make_unique<BitReader>();
    reader->open(hostIo(), &file, 0, 1); // the stream is one byte long
    uint32_t u;
    ASSERT_TRUE(reader->readBits(8, u));
    EXPECT_EQ(u, 0xFFu);
    EXPECT_FALSE(reader->readBits(1, u));
}

TEST_F(BitStream, FailedReadEndsReading)
{
    TestFile file;
    file.bytes.assign(40000, 0x55);
    file.failReadsAt = 20000;
    auto reader = readerOver(file);
    uint32_t u;
    for (int i = 0; i < 16000; ++i)
        ASSERT_TRUE(reader->readBits(8, u));
    EXPECT_FALSE(reader->readBits(8, u));
    EXPECT_TRUE(reader->failed());
}

TEST_F(BitStream, WriterReportsAFailedWrite)
{
    TestFile file;
    file.failWrites = true;
    auto writer = std::make_unique<BitWriter>();
    writer->open(hostIo(), &file, 0);
    writer->writeBits(1, 8);
    EXPECT_FALSE(writer->finish());
    EXPECT_TRUE(writer->failed());
}

} // namespace
} // namespace voltara::codec
