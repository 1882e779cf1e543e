#include "tests/support/FloatWav.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
        {{voltara.file("missing.wav"), out}, "missing.wav: no such file"},
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
        {{in, out, "--bank", voltara.file("missing.fxb")}, "missing.fxb: no such file"},
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

namespace voltara::test {
namespace {

// The options that name things: parameters and programs by name. (Programs
// with tape flutter differ from run to run: the plug-in seeds it by the clock.)
TEST_F(ProcessCommand, NamesWorkWhereNumbersDo)
{
    if (!voltara.factoryBankLoaded())
        GTEST_SKIP() << "the plug-in did not load its factory bank";
    struct Case {
        std::vector<std::string> byNumber, byName;
    };
    const Case cases[] = {
        {{"--set", "48=1", "--set", "54=0.35"}, {"--set", "del on=1", "--set", "DEL Mix=0.35"}},
        {{"--program", "3"}, {"--program", "SLOW PHASER"}},
        {{"--program-change", "0.1:12"}, {"--program-change", "0.1:vintage tremolo"}},
    };
    for (const Case& c : cases) {
        const FloatWav byNumber = process(with(c.byNumber, {"--tail", "0.5"}));
        const FloatWav byName = process(with(c.byName, {"--tail", "0.5"}));
        EXPECT_EQ(byNumber.samples, byName.samples) << c.byName[1];
    }
}

TEST_F(ProcessCommand, UnknownNamesListCloseOnes)
{
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const Case cases[] = {
        {{"--set", "DEL Mx=0.3"}, "--set DEL Mx: no parameter named \"DEL Mx\"; close names: \"DEL Mix\""},
        {{"--set", "delay=0.3"}, "no parameter named \"delay\"; close names: \"FLA Delay\""},
        {{"--set", "xyzzy=0.3"}, "no parameter named \"xyzzy\" (voltara info lists the names)"},
        {{"--set", "72=0.3"}, "there is no parameter 72; the indices are 0 to 71"},
        {{"--program-change", "0:32"}, "--program-change 0:32: there is no program 32; the programs are 0 to 31"},
        {{"--program-change", "0:127"}, "there is no program 127"},
        {{"--program-change", "0:No Such"}, "no program named \"No Such\""},
    };
    for (const Case& c : cases) {
        const auto result = voltara(with({"process", in, out}, c.options));
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

TEST_F(ProcessCommand, AutoTailRunsUntilTheOutputIsQuietForASecond)
{
    // Nothing rings: the output ends a second (rounded up to a block) after the input.
    const FloatWav dry = process({"--set", "0=1", "--tail", "auto"});
    EXPECT_GE(dry.frames(), inputFrames + rate);
    EXPECT_LT(dry.frames(), inputFrames + rate + 512);
    // A long hall rings for seconds; the last second is below -90 dBFS.
    const FloatWav hall =
        process(with(allOff, {"--set", "56=1", "--set", "57=1", "--set", "58=1", "--set", "59=1", "--tail", "auto"}));
    EXPECT_GT(hall.frames(), inputFrames + 3 * rate);
    EXPECT_LT(hall.frames(), inputFrames + 61 * rate);
    float lastSecond = 0.0f;
    for (std::size_t i = hall.samples.size() - 2 * rate; i < hall.samples.size(); ++i)
        lastSecond = std::max(lastSecond, std::fabs(hall.samples[i]));
    EXPECT_LT(lastSecond, 3.2e-5f);
    float before = 0.0f;
    for (std::size_t i = hall.samples.size() - 4 * rate; i < hall.samples.size() - 2 * rate; ++i)
        before = std::max(before, std::fabs(hall.samples[i]));
    EXPECT_GE(before, 3.1e-5f) << "the tail ran on longer than the quiet second";
}

TEST_F(ProcessCommand, CutShortInputIsProcessedWithAWarning)
{
    const std::string whole = fileBytes(in);
    const std::size_t kept = 44 + 1000 * 8; // the header and 1000 frames
    std::ofstream(voltara.file("cut.wav"), std::ios::binary) << whole.substr(0, kept);
    const auto result = voltara({"process", voltara.file("cut.wav"), out, "--set", "0=1", "--tail", "0"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("warning: " + voltara.file("cut.wav") + " is cut short: its header promises "
                              + std::to_string(inputFrames) + " frames, it holds 1000 ("
                              + std::to_string(inputFrames - 1000) + " missing)"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(FloatWav::read(out).frames(), 1000u);
    // A whole file says nothing.
    EXPECT_EQ(voltara({"process", in, out}).err.find("warning"), std::string::npos);
}

// Standard input (and a FIFO) carries every format the tool reads: it is read
// whole first, so that the readers that must seek can, and the length is
// known (an Ogg from a pipe once promised 9223372036854775807 frames).
TEST_F(ProcessCommand, EveryFormatReadsFromAPipe)
{
    ASSERT_EQ(voltara({"process", in, voltara.file("in16.wav"), "--set", "0=1", "--bits", "16", "--tail", "0"}).status,
              0);
    ASSERT_EQ(voltara({"process", in, voltara.file("in.flac"), "--set", "0=1", "--tail", "0"}).status, 0);
    ASSERT_EQ(voltara({"process", in, voltara.file("in.ogg"), "--set", "0=1", "--tail", "0"}).status, 0);
    ASSERT_EQ(voltara({"kfr", "encode", voltara.file("in16.wav"), voltara.file("in.kfr")}).status, 0);
    for (const char* name : {"in16.wav", "in.flac", "in.ogg", "in.kfr"}) {
        const std::string file = voltara.file(name);
        ASSERT_EQ(voltara({"process", file, voltara.file("from-file.wav"), "--tail", "0.5"}).status, 0) << name;
        const std::string command = "cat '" + file + "' | '" VOLTARA_BINARY_DIR "/voltara' process - '"
                                    + voltara.file("from-pipe.wav") + "' --tail 0.5";
        const auto piped =
            runProgram("/bin/bash", {"-c", command}, {"VOLTARA_REGISTRY=" + voltara.registry()}, TempFolder());
        EXPECT_EQ(piped.status, 0) << name << ": " << piped.err;
        EXPECT_EQ(piped.err, "") << name;
        EXPECT_EQ(fileBytes(voltara.file("from-pipe.wav")), fileBytes(voltara.file("from-file.wav"))) << name;
    }
}

// The rack runs at 8 to 384 kHz and gives other rates back unprocessed; the
// tool refuses them rather than pass the input through in silence, and never
// takes a rate for a length (a 4,000,000,000 Hz file once overflowed a buffer,
// a 2 GHz one asked for 24 GB of tail).
TEST_F(ProcessCommand, RatesTheRackDoesNotRunAtAreRefused)
{
    const std::string wave = fileBytes(in);
    for (const uint32_t fileRate : {7999u, 384001u, 655350u, 2000000000u}) {
        std::string bytes = wave;
        for (int b = 0; b < 4; ++b)
            bytes[24 + b] = char(fileRate >> (8 * b)); // the "fmt " chunk's rate
        std::ofstream(voltara.file("odd.wav"), std::ios::binary) << bytes;
        const auto result = voltara({"process", voltara.file("odd.wav"), out});
        EXPECT_EQ(result.status, 1) << fileRate;
        EXPECT_NE(
            result.err.find("odd.wav is at " + std::to_string(fileRate) + " Hz; the rack runs at 8000 to 384000 Hz"),
            std::string::npos)
            << result.err;
        EXPECT_FALSE(exists(out)) << fileRate;
    }
    // Beyond 2^31 Hz libsndfile refuses a wave file itself; a Kestrelwave file
    // storing such a rate (as -294,967,296) is refused by the codec.
    std::string beyond = wave;
    beyond.replace(24, 4, std::string("\x00\x28\x6b\xee", 4)); // 4,000,000,000
    std::ofstream(voltara.file("beyond.wav"), std::ios::binary) << beyond;
    ASSERT_EQ(voltara({"process", in, voltara.file("in16.wav"), "--bits", "16", "--tail", "0"}).status, 0);
    ASSERT_EQ(voltara({"kfr", "encode", voltara.file("in16.wav"), voltara.file("beyond.kfr")}).status, 0);
    std::string kfr = fileBytes(voltara.file("beyond.kfr"));
    kfr.replace(12, 4, std::string("\x00\x28\x6b\xee", 4));
    std::ofstream(voltara.file("beyond.kfr"), std::ios::binary) << kfr;
    for (const char* name : {"beyond.wav", "beyond.kfr"}) {
        const auto result = voltara({"process", voltara.file(name), out});
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_NE(result.err.find(voltara.file(name) + ": "), std::string::npos) << result.err;
        EXPECT_FALSE(exists(out)) << name;
    }
    for (const uint32_t fileRate : {8000u, 384000u}) {
        std::string bytes = wave;
        for (int b = 0; b < 4; ++b)
            bytes[24 + b] = char(fileRate >> (8 * b));
        std::ofstream(voltara.file("edge.wav"), std::ios::binary) << bytes;
        EXPECT_EQ(voltara({"process", voltara.file("edge.wav"), out, "--tail", "0"}).status, 0) << fileRate;
    }
}

// What cannot be read says why, in words.
TEST_F(ProcessCommand, InputsThatCannotBeReadSayWhy)
{
    std::ofstream(voltara.file("empty.wav"));
    mkdir(voltara.file("folder.wav").c_str(), 0755);
    const struct {
        std::string input;
        std::string message;
    } cases[] = {
        {voltara.file("missing.wav"), "cannot read " + voltara.file("missing.wav") + ": no such file\n"},
        {voltara.file("folder.wav"), "cannot read " + voltara.file("folder.wav") + ": it is a folder\n"},
        {voltara.file("empty.wav"), "cannot read " + voltara.file("empty.wav") + ": it is empty\n"},
        {"/dev/zero", "cannot read /dev/zero: not a regular file (a device, FIFO or socket)\n"},
    };
    for (const auto& c : cases) {
        const auto result = voltara({"process", c.input, out});
        EXPECT_EQ(result.status, 1) << c.input;
        EXPECT_EQ(result.err, "voltara process: " + c.message);
        EXPECT_FALSE(exists(out));
    }
}

// What voltara writes to a terminal, standard error being one (a pseudo
// terminal here); sends interrupt once the progress bar shows, when asked.
std::string onTerminal(const VoltaraRun& voltara, const std::vector<std::string>& arguments, bool interrupt,
                       int& status)
{
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        setenv("VOLTARA_REGISTRY", voltara.registry().c_str(), 1);
        std::vector<char*> argv = {const_cast<char*>(VOLTARA_BINARY_DIR "/voltara")};
        for (const std::string& word : arguments)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::string shown;
    char buffer[256];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
        shown.append(buffer, size_t(got));
        if (interrupt && shown.find('%') != std::string::npos) {
            kill(child, SIGINT);
            interrupt = false;
        }
    }
    close(terminal);
    waitpid(child, &status, 0);
    return shown;
}

// On a terminal the bar ends at 100% when the command succeeds, and Ctrl-C
// leaves the shell a line of its own.
TEST_F(ProcessCommand, TheProgressBarEndsAtFullAndItsLineEndsOnCtrlC)
{
    int status = 0;
    const std::string done = onTerminal(voltara, {"process", "--demo", out, "--tail", "2"}, false, status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << done;
    ASSERT_GE(done.size(), 8u) << done;
    EXPECT_EQ(done.substr(done.size() - 8), "] 100%\r\n") << done;

    const std::string stoppedOut = voltara.file("stopped.wav");
    const std::string stopped =
        onTerminal(voltara, {"process", "--demo", stoppedOut, "--tail", "600", "--block", "4"}, true, status);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << stopped;
    ASSERT_FALSE(stopped.empty());
    EXPECT_EQ(stopped.back(), '\n') << stopped;
    EXPECT_FALSE(exists(stoppedOut));
}

// Without a recorded content folder the tool loads its own factory bank.
TEST_F(ProcessCommand, FactoryProgramsWorkWithoutARegistryValue)
{
    TempFolder emptyStore;
    const auto result =
        runProgram(VOLTARA_BINARY_DIR "/voltara", {"process", in, out, "--program", "Funk Auto-Wah", "--tempo", "100"},
                   {"VOLTARA_REGISTRY=" + emptyStore.path()}, emptyStore);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("loaded the factory bank " VOLTARA_SOURCE_DIR "/content/Presets/Default.fxb"),
              std::string::npos)
        << result.err;
    const FloatWav withRegistry = process({"--program", "Funk Auto-Wah", "--tempo", "100"});
    EXPECT_EQ(FloatWav::read(out).samples, withRegistry.samples);
    // A recorded folder is the plug-in's own business: no message then.
    EXPECT_EQ(voltara({"info"}).err, "");
}

} // namespace
} // namespace voltara::test
