#include "tests/support/FloatWav.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace voltara::test {
namespace {

constexpr int rate = 44100;
constexpr std::size_t inputFrames = rate / 2;

// A half second of two different tones, loud enough for every effect to show.
FloatWav testInput(int channels)
{
    FloatWav wav;
    wav.channels = channels;
    for (std::size_t j = 0; j < inputFrames; ++j) {
        wav.samples.push_back(0.5f * float(std::sin(j * 0.0627)));
        if (channels == 2)
            wav.samples.push_back(0.4f * float(std::sin(j * 0.0311 + 1.0)));
    }
    return wav;
}

bool sameSamples(const FloatWav& a, const FloatWav& b, std::size_t fromFrame, std::size_t toFrame)
{
    return a.channels == b.channels && a.frames() >= toFrame && b.frames() >= toFrame
           && std::memcmp(&a.samples[fromFrame * 2], &b.samples[fromFrame * 2],
                          (toFrame - fromFrame) * 2 * sizeof(float))
                  == 0;
}

bool exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

// Every module off, whatever program 0 holds; then a tremolo, fully deep.
const std::vector<std::string> allOff = {"--set", "8=0",  "--set", "16=0", "--set", "24=0", "--set", "32=0",
                                         "--set", "40=0", "--set", "48=0", "--set", "56=0", "--set", "64=0"};
std::vector<std::string> with(std::vector<std::string> options, const std::vector<std::string>& more)
{
    options.insert(options.end(), more.begin(), more.end());
    return options;
}
const std::vector<std::string> deepTremolo = with(allOff, {"--set", "66=0.5", "--set", "67=1"});
const std::vector<std::string> tremolo = with(deepTremolo, {"--set", "64=1", "--tail", "0"});

struct ProcessCommand : ::testing::Test {
    void SetUp() override { testInput(2).write(in); }

    // Runs process on the test input and reads the result.
    FloatWav process(std::vector<std::string> options)
    {
        options.insert(options.begin(), {"process", in, out});
        const auto result = voltara(options);
        EXPECT_EQ(result.status, 0) << result.err;
        return FloatWav::read(out);
    }

    VoltaraRun voltara;
    std::string in = voltara.file("in.wav");
    std::string out = voltara.file("out.wav");
};

// Ways to switch the rack off: each must hand the float input back bit for bit.
TEST_F(ProcessCommand, BypassGivesTheInputBackExactly)
{
    const std::vector<std::string> ways[] = {
        {"--set", "0=1"},
        {"--set", "0=1", "--block", "1"},
        {"--set", "0=1", "--block", "4096"},
        {"--cc", "0:85:127"},
        {"--set", "0=0", "--set", "0=1", "--tempo", "90"},
    };
    const FloatWav input = FloatWav::read(in);
    for (const auto& way : ways) {
        const FloatWav output = process(with(way, {"--tail", "0"}));
        EXPECT_EQ(output.frames(), inputFrames) << way[0] << " " << way[1];
        EXPECT_TRUE(sameSamples(output, input, 0, inputFrames)) << way[0] << " " << way[1];
    }
}

TEST_F(ProcessCommand, TailAppendsRingOutTime)
{
    const FloatWav output = process({"--set", "0=1", "--tail", "0.25"});
    ASSERT_EQ(output.frames(), inputFrames + rate / 4);
    for (std::size_t j = inputFrames; j < output.frames(); ++j)
        ASSERT_EQ(output.at(j, 0), 0.0f) << "frame " << j;
}

TEST_F(ProcessCommand, MonoInputFeedsBothChannels)
{
    testInput(1).write(in);
    const FloatWav output = process({"--set", "0=1", "--tail", "0"});
    ASSERT_EQ(output.channels, 2);
    ASSERT_EQ(output.frames(), inputFrames);
    const FloatWav input = FloatWav::read(in);
    for (std::size_t j = 0; j < inputFrames; ++j) {
        ASSERT_EQ(output.at(j, 0), input.at(j, 0)) << "frame " << j;
        ASSERT_EQ(output.at(j, 1), input.at(j, 0)) << "frame " << j;
    }
}

TEST_F(ProcessCommand, OutputTakesTheFormatItsNameSays)
{
    out = voltara.file("out.flac");
    process({"--tail", "0"});
    std::ifstream file(out, std::ios::binary);
    char magic[4] = {};
    file.read(magic, 4);
    EXPECT_EQ(std::string(magic, 4), "fLaC");
}

TEST_F(ProcessCommand, DemoRendersAboutTenSecondsOfGuitar)
{
    const auto result = voltara({"process", "--demo", out, "--set", "0=1", "--tail", "0"});
    ASSERT_EQ(result.status, 0) << result.err;
    const FloatWav output = FloatWav::read(out);
    EXPECT_GE(output.frames(), std::size_t(9 * rate));
    EXPECT_LE(output.frames(), std::size_t(12 * rate));
    float peak = 0.0f;
    for (float sample : output.samples)
        peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.1f);
    EXPECT_LT(peak, 1.0f);
}

TEST_F(ProcessCommand, MidiEventTakesEffectAtItsOwnFrame)
{
    const FloatWav input = FloatWav::read(in);
    if (sameSamples(process(tremolo), input, 0, inputFrames))
        GTEST_SKIP() << "the rack's audio path gives the input back with the tremolo on";
    // Bypass switched on a quarter second in, inside a long block.
    const FloatWav output = process(with(tremolo, {"--cc", "0.25:85:127", "--block", "4096"}));
    const std::size_t eventFrame = rate / 4;
    EXPECT_FALSE(sameSamples(output, input, 0, eventFrame));
    EXPECT_TRUE(sameSamples(output, input, eventFrame, inputFrames));
}

TEST_F(ProcessCommand, ControllersReachTheirParameters)
{
    const FloatWav input = FloatWav::read(in);
    if (sameSamples(process(tremolo), input, 0, inputFrames))
        GTEST_SKIP() << "the rack's audio path gives the input back with the tremolo on";
    struct Case {
        std::string controller; // TIME:CONTROLLER:VALUE
        bool changesSound;
    };
    // The tremolo starts switched off; controller 92 is its switch.
    const Case cases[] = {
        {"0:92:100", true},
        {"0:92:10", false},
        {"0:92:0", false},
        {"0:91:127", false}, // reverb mix, with the reverb off
    };
    for (const Case& c : cases) {
        const FloatWav output = process(with(deepTremolo, {"--cc", c.controller, "--tail", "0"}));
        EXPECT_EQ(!sameSamples(output, input, 0, inputFrames), c.changesSound) << c.controller;
    }
}

TEST_F(ProcessCommand, FactoryProgramChangesTheSoundAndMidiSelectsIt)
{
    if (!voltara.factoryBankLoaded())
        GTEST_SKIP() << "the plug-in did not load its factory bank";
    const FloatWav input = FloatWav::read(in);
    const FloatWav byOption = process({"--program", "3", "--tail", "0.5"});
    EXPECT_FALSE(sameSamples(byOption, input, 0, inputFrames));
    const FloatWav byMidi = process({"--program-change", "0:3", "--tail", "0.5"});
    EXPECT_EQ(byMidi.samples, byOption.samples);
}

TEST_F(ProcessCommand, ErrorsSayWhatAndLeaveNoOutput)
{
    std::ofstream(voltara.file("text.wav")) << "not audio at all";
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{voltara.file("missing.wav"), out}, "cannot read"},
        {{voltara.file("text.wav"), out}, "cannot read"},
        {{in, out, "--set", "72=0.5"}, "the indices are 0 to 71"},
        {{in, out, "--set", "5=1.5"}, "from 0 to 1"},
        {{in, out, "--set", "5"}, "INDEX=VALUE"},
        {{in, out, "--program", "No Such Program"}, "no program named \"No Such Program\"; the programs are 0"},
        {{in, out, "--plugin", voltara.file("none.so")}, "cannot load the plug-in"},
        {{in, out, "--tempo", "0"}, "--tempo"},
        {{in, out, "--block", "0"}, "--block"},
        {{in, out, "--tail", "-1"}, "--tail"},
        {{in, out, "--cc", "0:300:1"}, "--cc 0:300:1"},
        {{in, out, "--cc", "9:1:1"}, "past the end"},
        {{in, out, "--program-change", "x:1"}, "TIME:PROGRAM"},
        {{in, out, "--bank", voltara.file("missing.fxb")}, "cannot open"},
        {{in, out, "--loud"}, "unknown option --loud"},
        {{in}, "usage"},
        {{in, voltara.file("no/such/folder/out.wav")}, "cannot write"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), "process");
        const auto result = voltara(arguments);
        EXPECT_NE(result.status, 0) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
        EXPECT_FALSE(exists(out)) << c.message;
    }
}

} // namespace
} // namespace voltara::test
