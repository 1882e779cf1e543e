#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "codec/Encoder.h"
#include "tests/codec/CodecTestHost.h"
#include "tests/codec/ReferenceEncoder.h"

namespace voltara::codec {
namespace {

using test::EncodeRequest;

uint32_t le32(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

int64_t le64(const std::vector<uint8_t>& bytes, size_t at)
{
    int64_t v;
    std::memcpy(&v, bytes.data() + at, 8);
    return v;
}

// What openWrite needs for a 44.1 kHz 16-bit file with this embedded header.
StreamInfo writeInfo(int32_t channels, std::vector<uint8_t>& header)
{
    static std::vector<uint8_t> none;
    return codechost::writeInfo(channels, 44100, 16, header, none);
}

struct Encoding : ::testing::Test {
    void SetUp() override { format = test::registerTestHost(); }
    void TearDown() override { EXPECT_EQ(test::liveAllocations(), 0); }

    // Encodes, checks the stream against the reference transcription and the
    // layout around it, decodes and checks the samples come back; answers the
    // decoder's block statistics.
    BlockStatistics roundTrip(const EncodeRequest& request)
    {
        BlockStatistics statistics = {};
        const std::vector<uint8_t> file = test::encode(format, request);
        EXPECT_FALSE(file.empty());
        if (file.empty())
            return statistics;
        const int64_t frames = static_cast<int64_t>(request.samples.size()) / request.channels;
        const std::vector<uint8_t> header = test::waveHeader(
            request.channels, request.rate, request.bits,
            static_cast<uint32_t>(request.samples.size() * ((request.bits + 7) / 8)), request.extraChunks);
        const std::vector<uint8_t> stream =
            test::referenceStream(request.channels, request.bits, request.rate, request.samples);
        const size_t streamOffset = 56 + header.size();

        // File header.
        EXPECT_EQ(std::memcmp(file.data(), "KFR ", 4), 0);
        EXPECT_EQ(le32(file, 4), 48u);
        EXPECT_EQ(file[8], 1);
        EXPECT_EQ(file[9], 0);
        EXPECT_EQ(file[10], request.bits);
        EXPECT_EQ(file[11], request.channels);
        EXPECT_EQ(le32(file, 12), static_cast<uint32_t>(request.rate));
        EXPECT_EQ(le32(file, 16), static_cast<uint32_t>(Encoder::blockLengthFor(request.rate)));
        EXPECT_EQ(le32(file, 20), 0u);
        EXPECT_EQ(le64(file, 24), frames);
        EXPECT_EQ(le64(file, 32), static_cast<int64_t>(stream.size()));
        for (size_t i = 40; i < 56; ++i)
            EXPECT_EQ(file[i], 0);
        // The embedded header with its two patched size fields.
        std::vector<uint8_t> expectedHeader = header;
        const uint32_t riff = static_cast<uint32_t>(frames * request.channels * ((request.bits + 7) / 8)
                                                    + request.trailing.size() + header.size());
        std::memcpy(expectedHeader.data() + 4, &riff, 4);
        const uint32_t dataSize = static_cast<uint32_t>(stream.size());
        std::memcpy(expectedHeader.data() + header.size() - 4, &dataSize, 4);
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + 56, file.begin() + streamOffset), expectedHeader);
        // The stream, byte for byte the reference transcription's, its pad byte, the trailing chunks.
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + streamOffset, file.begin() + streamOffset + stream.size()),
                  stream);
        const size_t pad = stream.size() & 1;
        if (pad) {
            EXPECT_EQ(file[streamOffset + stream.size()], 0);
        }
        EXPECT_EQ(file.size(), streamOffset + stream.size() + pad + request.trailing.size());
        EXPECT_EQ(std::vector<uint8_t>(file.end() - request.trailing.size(), file.end()), request.trailing);

        // Decode it back, through the same entries, and read the block statistics.
        test::TestFile host;
        host.bytes = file;
        StreamInfo info = {};
        EXPECT_EQ(format.readInfo(&host, &info), 0);
        EXPECT_EQ(info.blockLength, Encoder::blockLengthFor(request.rate));
        void* decoder = format.openRead(&host, &info);
        EXPECT_NE(decoder, nullptr);
        if (decoder != nullptr) {
            std::vector<uint8_t> samples(request.samples.size() * (request.bits / 8) + 1);
            double progress = 0.0;
            EXPECT_EQ(format.readFrames(decoder, samples.data(), static_cast<int32_t>(frames + 10), &progress), frames);
            samples.pop_back();
            EXPECT_TRUE(samples == test::packSamples(request.samples, request.bits)) << "samples differ";
            EXPECT_EQ(KFR_GetBlockStatistics(decoder, &statistics), 0);
            format.closeRead(decoder);
        }
        test::releaseBlock(info.header);
        test::releaseBlock(info.trailing);
        return statistics;
    }

    FormatInfo format;
};

TEST_F(Encoding, BlockLengthFollowsTheSampleRate)
{
    EXPECT_EQ(Encoder::blockLengthFor(44100), 256);
    EXPECT_EQ(Encoder::blockLengthFor(48000), 288);
    EXPECT_EQ(Encoder::blockLengthFor(96000), 576);
    EXPECT_EQ(Encoder::blockLengthFor(192000), 1120);
    EXPECT_EQ(Encoder::blockLengthFor(8000), 64);
    EXPECT_EQ(Encoder::blockLengthFor(1), 32);
}

TEST_F(Encoding, SilentStereoCodesTheDifferenceAsSilence)
{
    EncodeRequest request;
    request.samples.assign(2 * 256, 0);
    const BlockStatistics s = roundTrip(request);
    EXPECT_EQ(s.blocks, 1);
    EXPECT_EQ(s.differenceBlocks, 1);
    EXPECT_EQ(s.predictors[0][0] + s.predictors[1][0], 2);
    EXPECT_EQ(s.codingTypes[0][0] + s.codingTypes[1][0], 2);
    // Bits 0,1,1 | 1,00000 | 1,000 | 1,00000 | 1,000: three bytes and a pad byte.
    const std::vector<uint8_t> file = test::encode(format, request);
    const size_t at = 56 + 44;
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + at, file.end()), (std::vector<uint8_t>{0x0E, 0x22, 0x08, 0x00}));
}

TEST_F(Encoding, IdenticalChannelsCodeTheDifferenceAsSilence)
{
    EncodeRequest request;
    const std::vector<int32_t> mono = test::guitarSignal(1000, 1, 16, 1);
    for (int32_t v : mono)
        request.samples.insert(request.samples.end(), {v, v});
    const BlockStatistics s = roundTrip(request);
    EXPECT_EQ(s.differenceBlocks, s.blocks);
    EXPECT_EQ(s.codingTypes[1][0], s.blocks);
}

TEST_F(Encoding, TwentyFourBitWithLowBytesZeroIsShifted)
{
    EncodeRequest request;
    request.bits = 24;
    for (int32_t v : test::guitarSignal(2000, 2, 16, 2))
        request.samples.push_back(v * 256);
    const BlockStatistics s = roundTrip(request);
    EXPECT_GT(s.blocks, 0);
    EXPECT_EQ(s.shiftedBlocks, s.blocks);
    request.samples[3000] += 1; // one block loses the shift
    EXPECT_EQ(roundTrip(request).shiftedBlocks, s.blocks - 1);
}

TEST_F(Encoding, LengthsNotAMultipleOfTheBlockAndOddStreams)
{
    for (int32_t frames : {1, 2, 31, 255, 257, 1001}) {
        EncodeRequest request;
        request.samples = test::guitarSignal(frames, 2, 16, static_cast<uint32_t>(frames));
        request.batchFrames = 100;
        const BlockStatistics s = roundTrip(request);
        EXPECT_EQ(s.blocks, (frames + 255) / 256) << frames;
    }
}

TEST_F(Encoding, ExactMultipleWritesNoEmptyBlock)
{
    EncodeRequest request;
    request.samples = test::guitarSignal(512, 1, 16, 4);
    request.channels = 1;
    request.batchFrames = 256;
    EXPECT_EQ(roundTrip(request).blocks, 2);
}

TEST_F(Encoding, MonoEightBitAndTwentyFourBit)
{
    for (int32_t bits : {8, 16, 24}) {
        for (int32_t channels : {1, 2}) {
            EncodeRequest request;
            request.bits = bits;
            request.channels = channels;
            request.samples = test::guitarSignal(3000, channels, bits, static_cast<uint32_t>(bits + channels));
            request.samples[0] = bits == 8 ? -128 : request.samples[0];
            roundTrip(request);
        }
    }
}

TEST_F(Encoding, ExtraChunksBeforeAndAfterTheData)
{
    EncodeRequest request;
    request.extraChunks = test::chunk("LIST", std::string("INFOISFT\x06\0\0\0voltar", 18));
    const std::vector<uint8_t> cue = test::chunk("cue ", "0123");
    request.extraChunks.insert(request.extraChunks.end(), cue.begin(), cue.end());
    request.trailing = test::chunk("id3 ", "abc");
    request.trailing.push_back(0); // its pad byte belongs to the trailing chunks
    request.samples = test::guitarSignal(777, 2, 16, 5);
    roundTrip(request);
}

TEST_F(Encoding, HighRatesUseLongerBlocks)
{
    for (int32_t rate : {48000, 96000, 192000}) {
        EncodeRequest request;
        request.rate = rate;
        request.bits = 24;
        request.samples = test::guitarSignal(5000, 2, 24, static_cast<uint32_t>(rate));
        const BlockStatistics s = roundTrip(request);
        const int64_t block = Encoder::blockLengthFor(rate);
        EXPECT_EQ(s.blocks, (5000 + block - 1) / block) << rate;
    }
}

TEST_F(Encoding, EveryCodingTypeIsReached)
{
    // Silence, guitar (Rice), full-scale uniform noise (fixed width), and noise
    // that decays inside every block (adaptive Rice).
    std::mt19937 random(9);
    EncodeRequest request;
    request.channels = 1;
    request.samples.assign(256, 0);
    const std::vector<int32_t> guitar = test::guitarSignal(2560, 1, 16, 6);
    request.samples.insert(request.samples.end(), guitar.begin(), guitar.end());
    for (int i = 0; i < 2560; ++i)
        request.samples.push_back(static_cast<int32_t>(random() % 65536) - 32768);
    for (int i = 0; i < 2560; ++i) {
        const int32_t level = 1 + static_cast<int32_t>(30000 * std::exp(-(i % 256) / 16.0));
        request.samples.push_back(static_cast<int32_t>(random() % (2 * level + 1)) - level);
    }
    const BlockStatistics s = roundTrip(request);
    for (int type = 0; type < 4; ++type)
        EXPECT_GT(s.codingTypes[0][type], 0) << "coding type " << type;
}

TEST_F(Encoding, MatchesTheReferenceOnRandomMaterial)
{
    std::mt19937 random(12);
    for (int trial = 0; trial < 40; ++trial) {
        EncodeRequest request;
        request.channels = 1 + static_cast<int32_t>(random() % 2);
        request.bits = (int32_t[]){8, 16, 24}[random() % 3];
        request.rate = (int32_t[]){8000, 22050, 44100, 48000, 88200}[random() % 5];
        request.batchFrames = 1 + static_cast<int32_t>(random() % 700);
        const int32_t frames = static_cast<int32_t>(random() % 3000);
        const int32_t kind = static_cast<int32_t>(random() % 4);
        const int32_t full = (1 << (request.bits - 1)) - 1;
        const std::vector<int32_t> guitar = test::guitarSignal(frames, request.channels, request.bits, random());
        for (int32_t i = 0; i < frames * request.channels; ++i) {
            int32_t v = guitar[i];
            if (kind == 1)
                v = static_cast<int32_t>(random() % (2u * full + 1)) - full;
            else if (kind == 2)
                v = (i / 300) % 2 ? 0 : v;
            else if (kind == 3)
                v = (i % 97 == 0) ? full : v / 64;
            request.samples.push_back(v);
        }
        roundTrip(request);
    }
}

TEST_F(Encoding, WriteFramesWithNoFramesWritesNothing)
{
    test::TestFile file;
    std::vector<uint8_t> header = test::waveHeader(2, 44100, 16, 0);
    StreamInfo info = writeInfo(2, header);
    void* encoder = format.openWrite(&file, &info);
    ASSERT_NE(encoder, nullptr);
    const size_t written = file.bytes.size();
    EXPECT_EQ(written, 56 + header.size());
    int32_t consumed = 99;
    int64_t position = 0;
    const int32_t samples[2] = {1, 2};
    EXPECT_EQ(format.writeFrames(encoder, samples, 0, &consumed, &position), 0);
    EXPECT_EQ(format.writeFrames(encoder, samples, -5, &consumed, &position), 0);
    EXPECT_EQ(consumed, 0);
    EXPECT_EQ(position, static_cast<int64_t>(written));
    EXPECT_EQ(file.bytes.size(), written);
    EXPECT_EQ(format.writeFrames(encoder, nullptr, 0, nullptr, &position), 0); // ends: no empty block
    EXPECT_EQ(file.bytes.size(), written);
    EXPECT_EQ(format.closeWrite(encoder, 0), 0);
    EXPECT_EQ(le64(file.bytes, 32), 0);
}

TEST_F(Encoding, OpenWriteRefusals)
{
    test::TestFile file;
    std::vector<uint8_t> header = test::waveHeader(2, 44100, 16, 0);
    StreamInfo info = writeInfo(2, header);
    const auto refused = [&](StreamInfo changed) { return format.openWrite(&file, &changed) == nullptr; };
    StreamInfo bad = info;
    bad.channelCount = 6;
    EXPECT_TRUE(refused(bad));
    bad = info;
    bad.bitsPerSample = 32;
    EXPECT_TRUE(refused(bad));
    bad = info;
    bad.sampleRate = 6000000; // a block length above 32767
    EXPECT_TRUE(refused(bad));
    bad = info;
    bad.headerLength -= 1; // does not end with the "data" chunk header
    EXPECT_TRUE(refused(bad));
    std::vector<uint8_t> oddHeader = test::waveHeader(2, 44100, 16, 0, test::chunk("junk", "abc"));
    bad = info;
    bad.header = oddHeader.data();
    bad.headerLength = static_cast<int32_t>(oddHeader.size()); // walks, but its length is odd
    EXPECT_TRUE(refused(bad));
    test::TestFile failing;
    failing.failWrites = true;
    EXPECT_EQ(format.openWrite(&failing, &info), nullptr);
    EXPECT_EQ(format.closeWrite(nullptr, 0), -1);
}

TEST_F(Encoding, CloseWriteRefusesANegativeCountAndReportsFailedWrites)
{
    test::TestFile file;
    std::vector<uint8_t> header = test::waveHeader(1, 44100, 16, 0);
    StreamInfo info = writeInfo(1, header);
    EXPECT_EQ(format.closeWrite(format.openWrite(&file, &info), -1), -1);
    void* encoder = format.openWrite(&file, &info);
    ASSERT_NE(encoder, nullptr);
    std::vector<int32_t> samples(300, 5 << 8);
    int32_t consumed;
    EXPECT_EQ(format.writeFrames(encoder, samples.data(), 300, &consumed, nullptr), 0);
    file.failWrites = true;
    EXPECT_EQ(format.writeFrames(encoder, nullptr, 0, nullptr, nullptr), -1);
    EXPECT_EQ(format.closeWrite(encoder, 300), -1);
}

} // namespace
} // namespace voltara::codec
