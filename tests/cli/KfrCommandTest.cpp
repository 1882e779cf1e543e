#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

// `voltara kfr`: wave files go through the plug-in's codec and come back byte for byte.
namespace voltara::test {
namespace {

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string le(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i));
    return out;
}

std::string chunk(const std::string& id, const std::string& payload)
{
    return id + le(static_cast<uint32_t>(payload.size()), 4) + payload;
}

struct Wave {
    int channels = 2;
    uint32_t rate = 44100;
    int bits = 16;
    int frames = 10000;
    uint16_t formatTag = 1;
    std::string before;                     // chunks between "fmt " and "data"
    std::string after;                      // chunks after the samples
    std::string pad = std::string(1, '\0'); // after odd sample data
    uint32_t seed = 1;

    // A conforming wave file: a plucked, decaying chord with a little noise.
    std::string bytes() const
    {
        std::mt19937 random(seed);
        std::normal_distribution<double> noise(0.0, 1.0);
        const int sampleBytes = bits / 8;
        std::string data;
        for (int i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            for (int c = 0; c < channels; ++c) {
                const double v =
                    0.4 * std::exp(-2.0 * t) * std::sin(2 * M_PI * (110.0 + 55.0 * c) * t) + 0.001 * noise(random);
                const int32_t s = static_cast<int32_t>(std::lround(v * (std::ldexp(1.0, bits - 1) - 1.0)));
                data +=
                    bits == 8 ? std::string(1, static_cast<char>(s + 128)) : le(static_cast<uint32_t>(s), sampleBytes);
            }
        }
        const std::string fmt =
            le(formatTag, 2) + le(static_cast<uint32_t>(channels), 2) + le(static_cast<uint32_t>(rate), 4)
            + le(static_cast<uint32_t>(rate * channels * sampleBytes), 4)
            + le(static_cast<uint32_t>(channels * sampleBytes), 2) + le(static_cast<uint32_t>(bits), 2);
        std::string body = "WAVE" + chunk("fmt ", fmt) + before + chunk("data", data);
        if (data.size() & 1)
            body += pad;
        body += after;
        return "RIFF" + le(static_cast<uint32_t>(body.size()), 4) + body;
    }
};

struct KfrCommand : ::testing::Test {
    // Encodes and decodes a wave file; the decoded bytes.
    std::string roundTrip(const std::string& wave)
    {
        writeBytes(voltara.file("in.wav"), wave);
        const auto encoded = voltara({"kfr", "encode", voltara.file("in.wav"), voltara.file("in.kfr")});
        EXPECT_EQ(encoded.status, 0) << encoded.err;
        const auto decoded = voltara({"kfr", "decode", voltara.file("in.kfr"), voltara.file("out.wav")});
        EXPECT_EQ(decoded.status, 0) << decoded.err;
        return bytesOf(voltara.file("out.wav"));
    }

    void expectFails(const std::vector<std::string>& arguments, const std::string& message, const std::string& output)
    {
        const auto result = voltara(arguments);
        EXPECT_NE(result.status, 0);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_NE(access(output.c_str(), F_OK), 0) << output << " was left behind";
    }

    VoltaraRun voltara;
};

TEST_F(KfrCommand, RoundTripsAreByteExact)
{
    Wave stereo16;
    stereo16.before = chunk("LIST", std::string("INFOISFT") + le(8, 4) + std::string("voltara\0", 8));
    stereo16.after = chunk("cue ", le(0, 4)) + chunk("id3 ", "abc") + '\0';
    const std::string original = stereo16.bytes();
    const std::string back = roundTrip(original);
    EXPECT_EQ(back.size(), original.size());
    EXPECT_TRUE(back == original);
    // The compressed file is smaller than the wave file.
    EXPECT_LT(bytesOf(voltara.file("in.kfr")).size(), original.size() * 3 / 4);

    Wave mono8; // odd sample bytes: the pad byte is written back
    mono8.channels = 1;
    mono8.bits = 8;
    mono8.frames = 4001;
    mono8.after = chunk("LIST", "tail");
    EXPECT_TRUE(roundTrip(mono8.bytes()) == mono8.bytes());

    Wave stereo24;
    stereo24.bits = 24;
    stereo24.rate = 96000;
    stereo24.frames = 7777;
    EXPECT_TRUE(roundTrip(stereo24.bytes()) == stereo24.bytes());

    Wave mono16At48k;
    mono16At48k.channels = 1;
    mono16At48k.rate = 48000;
    mono16At48k.frames = 0; // no samples at all
    EXPECT_TRUE(roundTrip(mono16At48k.bytes()) == mono16At48k.bytes());
}

TEST_F(KfrCommand, InfoShowsHeaderBlocksAndRatio)
{
    Wave wave;
    writeBytes(voltara.file("in.wav"), wave.bytes());
    ASSERT_EQ(voltara({"kfr", "encode", voltara.file("in.wav"), voltara.file("in.kfr")}).status, 0);
    const auto result = voltara({"kfr", "info", voltara.file("in.kfr")});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* expected :
         {"Kestrelwave", "channels           2", "bits per sample    16", "44100 Hz", "block length       256 frames",
          "total frames       10000", "compression", "blocks             40", "predictors", "coding"})
        EXPECT_NE(result.out.find(expected), std::string::npos) << expected << "\n" << result.out;
}

TEST_F(KfrCommand, VerifyDecodesWhatWasWrittenBeforeFinishing)
{
    Wave wave;
    wave.after = chunk("LIST", "tail");
    writeBytes(voltara.file("in.wav"), wave.bytes());
    const auto plain = voltara({"kfr", "encode", voltara.file("in.wav"), voltara.file("plain.kfr")});
    const auto verified = voltara({"kfr", "encode", voltara.file("in.wav"), voltara.file("verified.kfr"), "--verify"});
    ASSERT_EQ(verified.status, 0) << verified.err;
    EXPECT_EQ(bytesOf(voltara.file("verified.kfr")), bytesOf(voltara.file("plain.kfr")));
    // A RIFF size that disagrees with the file does not come back as it was:
    // the decoder writes the true size.
    std::string wrongSize = wave.bytes();
    wrongSize[4] = static_cast<char>(wrongSize[4] + 2);
    writeBytes(voltara.file("odd.wav"), wrongSize);
    const std::string out = voltara.file("odd.kfr");
    expectFails({"kfr", "encode", voltara.file("odd.wav"), out, "--verify"},
                "verification failed: decoding " + out + " does not give " + voltara.file("odd.wav")
                    + " back (they differ within bytes 0 to 44)",
                out);
}

TEST_F(KfrCommand, ErrorsExitNonZeroWithAReason)
{
    const std::string out = voltara.file("out.kfr");
    expectFails({"kfr", "encode", voltara.file("missing.wav"), out}, "missing.wav: no such file", out);
    expectFails({"kfr", "encode", voltara.file(""), out}, "is a folder", out);
    writeBytes(voltara.file("text.wav"), "hello, this is not a wave file");
    expectFails({"kfr", "encode", voltara.file("text.wav"), out}, "not a RIFF/WAVE file", out);

    Wave floats;
    floats.formatTag = 3;
    floats.bits = 32;
    writeBytes(voltara.file("float.wav"), floats.bytes());
    expectFails({"kfr", "encode", voltara.file("float.wav"), out}, "no integer PCM", out);

    Wave surround;
    surround.channels = 3;
    writeBytes(voltara.file("three.wav"), surround.bytes());
    expectFails({"kfr", "encode", voltara.file("three.wav"), out}, "3 channels", out);

    Wave oddChunk;
    oddChunk.before = chunk("junk", "abc") + '\0';
    writeBytes(voltara.file("odd.wav"), oddChunk.bytes());
    expectFails({"kfr", "encode", voltara.file("odd.wav"), out}, "odd size", out);

    Wave whole;
    writeBytes(voltara.file("cut.wav"), whole.bytes().substr(0, 44 + 4 * 2500));
    expectFails({"kfr", "encode", voltara.file("cut.wav"), out},
                "cut.wav is cut short: its header promises 10000 frames, it holds 2500 (7500 missing)", out);
    // Short of less than a frame, it is the bytes that are counted.
    std::string longer = whole.bytes();
    longer.replace(40, 4, le(4 * 10000 + 2, 4)); // the "data" chunk's size
    writeBytes(voltara.file("cut.wav"), longer);
    expectFails({"kfr", "encode", voltara.file("cut.wav"), out},
                "cut.wav is cut short: its header promises 40002 bytes of samples, it holds 40000", out);

    // The wave header holds rates that the Kestrelwave header cannot.
    Wave fast;
    fast.rate = 4000000000u;
    writeBytes(voltara.file("fast.wav"), fast.bytes());
    expectFails({"kfr", "encode", voltara.file("fast.wav"), out, "--verify"},
                "fast.wav is at 4000000000 Hz; Kestrelwave holds rates of 1 to 2147483647 Hz", out);

    // Odd sample data without its zero pad byte would come back changed.
    Wave unpadded;
    unpadded.channels = 1;
    unpadded.bits = 8;
    unpadded.frames = 4001;
    unpadded.pad = "";
    for (const std::string& after : {chunk("LIST", "tail"), std::string()}) {
        unpadded.after = after;
        writeBytes(voltara.file("unpadded.wav"), unpadded.bytes());
        expectFails({"kfr", "encode", voltara.file("unpadded.wav"), out}, "no zero pad byte", out);
    }
    unpadded.pad = "x";
    writeBytes(voltara.file("unpadded.wav"), unpadded.bytes());
    expectFails({"kfr", "encode", voltara.file("unpadded.wav"), out}, "no zero pad byte", out);

    const std::string wav = voltara.file("out.wav");
    expectFails({"kfr", "decode", voltara.file("text.wav"), wav}, "not a Kestrelwave file", wav);
    Wave wave;
    writeBytes(voltara.file("good.wav"), wave.bytes());
    ASSERT_EQ(voltara({"kfr", "encode", voltara.file("good.wav"), voltara.file("good.kfr")}).status, 0);
    const std::string kfr = bytesOf(voltara.file("good.kfr"));
    // Cut inside the stream, keeping the header's promises: the header is refused.
    writeBytes(voltara.file("cut.kfr"), kfr.substr(0, kfr.size() / 2));
    expectFails({"kfr", "decode", voltara.file("cut.kfr"), wav}, "malformed", wav);
    // Corrupt the stream itself: decoding ends early and says so.
    std::string corrupt = kfr;
    for (size_t i = 200; i < corrupt.size(); ++i)
        corrupt[i] = 0;
    writeBytes(voltara.file("corrupt.kfr"), corrupt);
    expectFails({"kfr", "decode", voltara.file("corrupt.kfr"), wav}, "cut short or corrupt", wav);
    expectFails({"kfr", "info", voltara.file("corrupt.kfr")}, "cut short or corrupt", wav);
    expectFails({"kfr", "frobnicate"}, "usage", wav);
    expectFails({"kfr", "decode", voltara.file("good.kfr"), wav, "--plugin", voltara.file("none.so")},
                "cannot load the plug-in", wav);
}

} // namespace
} // namespace voltara::test
