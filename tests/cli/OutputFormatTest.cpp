#include "tests/support/FloatWav.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

// What process writes: the encoding --bits asks for, --gain, WAV files that
// other tools read without complaint, clipping reported, Kestrelwave in and
// out, unknown extensions refused.
namespace voltara::test {
namespace {

constexpr int rate = 44100;

uint32_t word(const std::string& bytes, std::size_t at, int size)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, std::size_t(size));
    return value;
}

// Sizes and fields of a WAV file's chunks, by chunk id.
struct WaveFields {
    explicit WaveFields(const std::string& bytes)
    {
        for (std::size_t at = 12; at + 8 <= bytes.size();) {
            const std::string id = bytes.substr(at, 4);
            const uint32_t size = word(bytes, at + 4, 4);
            chunkSizes[id] = size;
            if (id == "fmt ") {
                tag = word(bytes, at + 8, 2);
                bits = word(bytes, at + 22, 2);
            }
            if (id == "fact")
                factFrames = word(bytes, at + 8, 4);
            if (id == "data")
                data = bytes.substr(at + 8, size);
            at += 8 + size + (size & 1);
        }
        riffSize = word(bytes, 4, 4);
        fileSize = bytes.size();
    }

    std::map<std::string, uint32_t> chunkSizes;
    uint32_t tag = 0, bits = 0, factFrames = 0, riffSize = 0;
    std::size_t fileSize = 0;
    std::string data;
};

struct OutputFormat : ::testing::Test {
    void SetUp() override
    {
        for (int j = 0; j < frames; ++j) {
            input.samples.push_back(0.5f * float(std::sin(j * 0.05)));
            input.samples.push_back(0.25f * float(std::sin(j * 0.03)));
        }
        input.write(in);
    }

    // process with the rack bypassed and no tail, so that the output is the input.
    VoltaraRun::Result process(const std::string& out, std::vector<std::string> options)
    {
        options.insert(options.begin(), {"process", in, out, "--set", "0=1", "--tail", "0"});
        return voltara(options);
    }

    static constexpr int frames = rate / 4;
    VoltaraRun voltara;
    FloatWav input;
    std::string in = voltara.file("in.wav");
};

TEST_F(OutputFormat, BitsChooseTheSamplesOfTheWaveFile)
{
    struct Case {
        std::vector<std::string> options;
        uint32_t tag, bits, fmtSize;
    };
    const Case cases[] = {
        {{}, 3, 32, 18}, // the float input's encoding
        {{"--bits", "16"}, 1, 16, 16},
        {{"-b", "24"}, 1, 24, 16},
        {{"--bits=32f"}, 3, 32, 18},
    };
    for (const Case& c : cases) {
        const auto result = process(voltara.file("out.wav"), c.options);
        ASSERT_EQ(result.status, 0) << result.err;
        const WaveFields wave(fileBytes(voltara.file("out.wav")));
        EXPECT_EQ(wave.tag, c.tag);
        EXPECT_EQ(wave.bits, c.bits);
        EXPECT_EQ(wave.chunkSizes.at("fmt "), c.fmtSize);
        EXPECT_EQ(wave.data.size(), std::size_t(frames) * 2 * c.bits / 8);
        EXPECT_EQ(wave.riffSize, wave.fileSize - 8);
        if (c.tag == 3) {
            EXPECT_EQ(wave.factFrames, uint32_t(frames));
        }
    }
    // 16-bit samples are the input rounded.
    process(voltara.file("out.wav"), {"--bits", "16"});
    const WaveFields wave(fileBytes(voltara.file("out.wav")));
    for (std::size_t i = 0; i < input.samples.size(); ++i) {
        const int16_t sample = int16_t(word(wave.data, 2 * i, 2));
        ASSERT_EQ(sample, std::lrint(input.samples[i] * 32768.0f)) << i;
    }
}

TEST_F(OutputFormat, FloatWaveReadsInSoxWithoutWarning)
{
    const std::string sox = findProgram("sox");
    if (sox.empty())
        GTEST_SKIP() << "sox is not installed";
    ASSERT_EQ(process(voltara.file("out.wav"), {}).status, 0);
    const auto result = runProgram(sox, {voltara.file("out.wav"), "-n", "stat"}, {}, TempFolder());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err.find("WARN"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(std::to_string(2 * frames)), std::string::npos) << result.err;
}

TEST_F(OutputFormat, GainScalesTheOutput)
{
    ASSERT_EQ(process(voltara.file("out.wav"), {"--gain", "-6"}).status, 0);
    const FloatWav output = FloatWav::read(voltara.file("out.wav"));
    ASSERT_EQ(output.samples.size(), input.samples.size());
    const float factor = float(std::pow(10.0, -6.0 / 20.0));
    for (std::size_t i = 0; i < input.samples.size(); ++i)
        ASSERT_FLOAT_EQ(output.samples[i], input.samples[i] * factor) << i;
}

TEST_F(OutputFormat, ClippedSamplesAreCountedWithTheirPeak)
{
    // +12 dB takes the left channel's peak of 0.5 to about 2 (+6 dBFS).
    const float gain = float(std::pow(10.0, 12.0 / 20.0));
    long expected = 0;
    for (float sample : input.samples)
        expected += std::nearbyint(double(sample * gain) * 32768.0) > 32767
                    || std::nearbyint(double(sample * gain) * 32768.0) < -32768;
    const auto integer = process(voltara.file("out.wav"), {"--bits", "16", "--gain", "12"});
    EXPECT_EQ(integer.status, 0);
    EXPECT_NE(integer.err.find("warning: " + std::to_string(expected) + " samples clipped in " + voltara.file("out.wav")
                               + " (peak +6.0 dBFS)"),
              std::string::npos)
        << integer.err;
    const auto floating = process(voltara.file("out.wav"), {"--gain", "12"});
    EXPECT_EQ(floating.status, 0);
    EXPECT_EQ(floating.err.find("clipped"), std::string::npos) << floating.err;
}

TEST_F(OutputFormat, KestrelwaveInAndOut)
{
    ASSERT_EQ(process(voltara.file("out.kfr"), {"--bits", "16"}).status, 0);
    ASSERT_EQ(process(voltara.file("pcm.wav"), {"--bits", "16"}).status, 0);
    // The .kfr holds exactly the 16-bit wave file.
    ASSERT_EQ(voltara({"kfr", "decode", voltara.file("out.kfr"), voltara.file("back.wav")}).status, 0);
    EXPECT_EQ(fileBytes(voltara.file("back.wav")), fileBytes(voltara.file("pcm.wav")));
    // And reads as audio: the 16-bit samples as floats.
    const auto result = voltara({"process", voltara.file("out.kfr"), voltara.file("float.wav"), "--set", "0=1",
                                 "--tail", "0", "--bits", "32f"});
    ASSERT_EQ(result.status, 0) << result.err;
    const FloatWav decoded = FloatWav::read(voltara.file("float.wav"));
    const WaveFields pcm(fileBytes(voltara.file("pcm.wav")));
    ASSERT_EQ(decoded.samples.size(), input.samples.size());
    for (std::size_t i = 0; i < decoded.samples.size(); ++i)
        ASSERT_EQ(decoded.samples[i], float(int16_t(word(pcm.data, 2 * i, 2))) / 32768.0f) << i;
}

TEST_F(OutputFormat, OutputsThatCannotBeAreRefused)
{
    struct Case {
        std::string out;
        std::vector<std::string> options;
        std::string message;
    };
    const Case cases[] = {
        {"out.mp3", {}, "unknown extension .mp3 (the output's extension chooses its format: .wav"},
        {"out", {}, "its name has no extension"},
        {"out.flac", {"--bits", "32f"}, ".flac files cannot hold 32-bit float samples"},
        {"out.kfr", {"--bits", "32f"}, ".kfr files cannot hold 32-bit float samples"},
        {"out.ogg", {"--bits", "16"}, "leave out --bits"},
        {"out.wav", {"--bits", "8"}, "--bits must be 16, 24 or 32f"},
        {"out.wav", {"--gain", "30"}, "--gain must be a number from -96 to 24"},
    };
    for (const Case& c : cases) {
        const auto result = process(voltara.file(c.out), c.options);
        EXPECT_EQ(result.status, 1) << c.out;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_TRUE(fileBytes(voltara.file(c.out)).empty()) << c.out;
    }
}

} // namespace
} // namespace voltara::test
