// voltara live on a JACK server of the test's own (jackd's dummy driver): a
// player and a recorder of the test's own around it. What it plays equals
// voltara process of the same input, MIDI takes effect at its frame, the
// transport's tempo moves a synced delay, the user's place comes back, the
// server going away ends it cleanly, and a click in its window changes the
// sound.

#include "JackServer.h"
#include "JackTestClient.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/FloatWav.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <regex>
#include <thread>

namespace voltara::test {
namespace {

constexpr int rate = 48000;
constexpr int period = 256;
const std::string rackName = "voltara-under-test";

// Every module on over factory program 29, and Bypass held until the
// player's first frame lets it go (controller 85), so that the rack starts
// from where voltara process starts whatever it heard before.
const std::vector<std::string> allModules = {"--program", "29",    "--set", "8=1",   "--set", "16=1",  "--set",
                                             "24=1",      "--set", "32=1",  "--set", "40=1",  "--set", "48=1",
                                             "--set",     "56=1",  "--set", "64=1",  "--set", "0=1"};
const JackTestClient::Midi releaseBypass{0, {0xb0, 85, 1}};

std::vector<std::string> with(std::vector<std::string> options, const std::vector<std::string>& more)
{
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

// Two tones, a different one on each side, loud enough for every module.
FloatWav tones(double seconds)
{
    FloatWav wav;
    wav.sampleRate = rate;
    for (std::size_t j = 0; j < std::size_t(seconds * rate); ++j) {
        wav.samples.push_back(0.5f * float(std::sin(double(j) * 0.0627)));
        wav.samples.push_back(0.4f * float(std::sin(double(j) * 0.0311 + 1.0)));
    }
    return wav;
}

struct LiveCommand : ::testing::Test {
    void SetUp() override
    {
        if (!server.running())
            GTEST_SKIP() << server.failure();
        client = std::make_unique<JackTestClient>("voltara-test");
    }

    // voltara live with these options, its configuration folder the test's.
    std::unique_ptr<ChildProgram> start(const std::vector<std::string>& options,
                                        const std::vector<std::string>& environment = {})
    {
        std::vector<std::string> arguments = {"live", "--name", rackName};
        arguments.insert(arguments.end(), options.begin(), options.end());
        std::vector<std::string> settings = {server.environment(), "VOLTARA_REGISTRY=" + voltara.registry(),
                                             "XDG_CONFIG_HOME=" + voltara.file("config")};
        settings.insert(settings.end(), environment.begin(), environment.end());
        ++runs;
        return std::make_unique<ChildProgram>(VOLTARA_BINARY_DIR "/voltara", arguments, settings,
                                              voltara.file("live.out"), errFile());
    }
    std::string errFile() const { return voltara.file("live" + std::to_string(runs) + ".err"); }
    std::string told() const { return fileBytes(errFile()); }

    // Waits until the rack's ports are there and connects them to the player and the recorder.
    bool connect(bool stereo = true)
    {
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (client->connectTo(rackName, stereo))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Ctrl-C: the rack ends with status 0 and says so.
    void stop(ChildProgram& live)
    {
        live.signal(SIGINT);
        EXPECT_EQ(live.wait(20.0), 0) << told();
        EXPECT_NE(told().find("stopped after"), std::string::npos) << told();
    }

    FloatWav process(const FloatWav& input, const std::vector<std::string>& options)
    {
        input.write(voltara.file("in.wav"));
        const auto result = voltara(with({"process", voltara.file("in.wav"), voltara.file("out.wav"), "--block",
                                          std::to_string(period), "--tail", "0"},
                                         options));
        EXPECT_EQ(result.status, 0) << result.err;
        return FloatWav::read(voltara.file("out.wav"));
    }

    std::string savedPlace() const { return fileBytes(voltara.file("config/voltara/live.session")); }

    VoltaraRun voltara;
    TempFolder scratch;
    JackServer server{rate, period, scratch};
    std::unique_ptr<JackTestClient> client;
    int runs = 0;
};

// The first frame that differs, or -1.
long firstDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    if (a.size() != b.size())
        return 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0)
            return long(i / 2);
    return -1;
}

// What the rack plays live, MIDI events at frames inside periods included,
// is what voltara process makes of the same input with the same settings
// and a block of the server's period, sample for sample; also once the
// server's period has changed under it.
TEST_F(LiveCommand, PlaysWhatProcessRendersSampleForSample)
{
    struct Case {
        const char* what;
        std::vector<JackTestClient::Midi> events;
        std::vector<std::string> processEvents;
        int period; // the server's, set while the rack runs
    };
    const Case cases[] = {
        {"the settings alone", {releaseBypass}, {"--cc", "0:85:1"}, period},
        {"program 3 at frame 12000, tremolo on at frame 30000",
         {releaseBypass, {12000, {0xc0, 3}}, {30000, {0xb0, 92, 127}}},
         {"--cc", "0:85:1", "--program-change", "0.25:3", "--cc", "0.625:92:127"},
         period},
        {"after the server's period changed to 128", {releaseBypass}, {"--cc", "0:85:1"}, 128},
    };
    const FloatWav input = tones(1.5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto live = start(with(allModules, {"--no-window"}));
        ASSERT_TRUE(connect()) << told();
        if (c.period != period) {
            const auto changed = runProgram("jack_bufsize", {std::to_string(c.period)}, {}, scratch);
            ASSERT_EQ(changed.status, 0) << changed.err;
            ASSERT_EQ(client->period(), uint32_t(c.period));
        }
        const std::vector<float> played = client->play(input.samples, c.events);
        stop(*live);
        const FloatWav rendered =
            process(input, with(allModules, with(c.processEvents, {"--block", std::to_string(c.period)})));
        ASSERT_EQ(played.size(), rendered.samples.size()) << "the recording missed periods";
        EXPECT_EQ(firstDifference(played, rendered.samples), -1);
        if (c.events.size() > 1) {
            // ... and the events did change the sound, from their frame on.
            const FloatWav plain = process(input, with(allModules, {"--cc", "0:85:1"}));
            EXPECT_EQ(firstDifference(rendered.samples, plain.samples), 12000);
        }
    }
}

// A guitar on the first input alone is heard on both sides.
TEST_F(LiveCommand, AMonoSourceFeedsBothChannels)
{
    auto live = start({"--no-window", "--fresh", "--set", "0=1"});
    ASSERT_TRUE(connect(false)) << told();
    const FloatWav input = tones(0.2);
    const std::vector<float> played = client->play(input.samples, {});
    stop(*live);
    ASSERT_EQ(played.size(), input.samples.size());
    for (std::size_t j = 0; j < input.frames(); ++j) {
        ASSERT_EQ(played[2 * j], input.samples[2 * j]) << j;
        ASSERT_EQ(played[2 * j + 1], input.samples[2 * j]) << j;
    }
}

// The frame of the loudest echo after the click at frame 0 (the click itself
// left out).
std::size_t echoAt(const std::vector<float>& played)
{
    std::size_t loudest = rate / 20;
    for (std::size_t j = loudest; j < played.size() / 2; ++j)
        if (std::fabs(played[2 * j]) > std::fabs(played[2 * loudest]))
            loudest = j;
    return loudest;
}

// A delay synced to quarter notes echoes a click half a second later at the
// transport's 120 beats per minute, a second later once it says 60.
TEST_F(LiveCommand, TheTransportsTempoMovesASyncedDelay)
{
    auto live =
        start({"--no-window", "--fresh", "--set", "8=0",     "--set", "16=0", "--set", "24=0", "--set", "32=0",
               "--set",       "40=0",    "--set", "56=0",    "--set", "64=0", "--set", "0=0",  "--set", "48=1",
               "--set",       "49=1",    "--set", "50=0.47", "--set", "51=0", "--set", "52=0", "--set", "54=1"});
    ASSERT_TRUE(connect()) << told();
    std::vector<float> click(std::size_t(rate) * 2 * 2, 0.0f);
    click[0] = click[1] = 0.9f;
    for (const double bpm : {120.0, 60.0}) {
        client->giveTempo(bpm);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::vector<float> played = client->play(click, {});
        ASSERT_FALSE(played.empty());
        const std::size_t echo = echoAt(played);
        EXPECT_GT(std::fabs(played[2 * echo]), 0.1f);
        EXPECT_NEAR(double(echo), 60.0 / bpm * rate, 0.02 * rate) << bpm << " beats per minute";
    }
    stop(*live);
}

// The place a run leaves (program, edits) is where the next run starts,
// unless it starts --fresh; it is kept as a rack session.
TEST_F(LiveCommand, TheNextRunStartsWhereTheLastEnded)
{
    auto first = start({"--no-window", "--program", "5", "--set", "DEL Mix=0.125"});
    ASSERT_TRUE(connect()) << told();
    stop(*first);
    const std::string kept = savedPlace();
    EXPECT_NE(kept.find("voltara session 1\ncurrent 5\n"), std::string::npos) << kept;

    auto second = start({"--no-window"});
    ASSERT_TRUE(connect()) << told();
    stop(*second);
    EXPECT_NE(told().find("took up the place kept in"), std::string::npos) << told();
    EXPECT_EQ(savedPlace(), kept);

    auto fresh = start({"--no-window", "--fresh"});
    ASSERT_TRUE(connect()) << told();
    stop(*fresh);
    EXPECT_NE(savedPlace().find("voltara session 1\ncurrent 0\n"), std::string::npos) << savedPlace();
}

// The server going away ends the rack with a message and its place kept; a
// server that is not there is a clear error at once.
TEST_F(LiveCommand, EndsCleanlyWhenTheServerGoes)
{
    auto live = start({"--no-window", "--program", "7"});
    ASSERT_TRUE(connect()) << told();
    client.reset();
    server.stop();
    EXPECT_EQ(live->wait(20.0), 1) << told();
    EXPECT_NE(told().find("the JACK server went away after"), std::string::npos) << told();
    EXPECT_NE(savedPlace().find("current 7\n"), std::string::npos) << told();

    const auto startedAt = std::chrono::steady_clock::now();
    auto none = start({"--no-window"});
    EXPECT_EQ(none->wait(20.0), 1) << told();
    EXPECT_LT(std::chrono::steady_clock::now() - startedAt, std::chrono::seconds(10));
    EXPECT_NE(told().find("voltara live: cannot reach the JACK server \"" + server.name() + "\""), std::string::npos)
        << told();
}

// In its window on an X server, a click on the tremolo's button switches it
// on: the input that came back unchanged comes back chopped. Page Down and
// Up, and the strip's next and previous buttons, step through the programs.
TEST_F(LiveCommand, AClickInTheWindowChangesTheSound)
{
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << display.failure();
    if (findProgram("xdotool").empty())
        GTEST_SKIP() << "xdotool is not installed";
    auto live =
        start({"--fresh", "--set", "8=0",   "--set", "16=0",  "--set", "24=0",  "--set", "32=0",  "--set", "40=0",
               "--set",   "48=0",  "--set", "56=0",  "--set", "64=0",  "--set", "0=0",   "--set", "67=1"},
              {"DISPLAY=" + display.name()});
    ASSERT_TRUE(connect()) << told();
    const FloatWav input = tones(0.5);
    EXPECT_EQ(firstDifference(client->play(input.samples, {}), input.samples), -1);

    // The title tells the program, the keys that step it, the load and the
    // xruns (once the rack has run a while).
    const std::regex status("^AW Voltara FX \xe2\x80\x94 0 .+ \\(PgUp/PgDn\\) \xc2\xb7 DSP [0-9]+% \xc2\xb7 [0-9]+ "
                            "xruns?\n$");
    std::string title;
    for (int attempt = 0; attempt < 50 && !std::regex_search(title, status); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        title = runProgram("xdotool", {"search", "--sync", "--name", "AW Voltara FX", "getwindowname", "%1"},
                           {"DISPLAY=" + display.name()}, scratch)
                    .out;
    }
    EXPECT_TRUE(std::regex_search(title, status)) << title;

    const auto clicked = runProgram(
        "xdotool",
        {"search", "--sync", "--name", "AW Voltara FX", "mousemove", "--window", "%1", "420", "142", "click", "1"},
        {"DISPLAY=" + display.name()}, scratch);
    ASSERT_EQ(clicked.status, 0) << clicked.err;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<float> played = client->play(input.samples, {});
    ASSERT_EQ(played.size(), input.samples.size());
    EXPECT_NE(firstDifference(played, input.samples), -1);

    // Page Down twice and Page Up once: the next program.
    const auto paged = runProgram("xdotool",
                                  {"search", "--sync", "--name", "AW Voltara FX", "windowfocus", "--sync", "%1", "key",
                                   "--delay", "200", "Next", "Next", "Prior"},
                                  {"DISPLAY=" + display.name()}, scratch);
    ASSERT_EQ(paged.status, 0) << paged.err;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // NEXT twice and PREV once on the strip under the editor's 354 rows (at
    // x 372 .. 431 and 6 .. 65): one more.
    const auto stepped = runProgram(
        "xdotool", {"search",   "--sync", "--name",  "AW Voltara FX", "mousemove", "--window", "%1", "402",
                    "370",      "click",  "--delay", "200",           "--repeat",  "2",        "1",  "mousemove",
                    "--window", "%1",     "36",      "370",           "click",     "1"},
        {"DISPLAY=" + display.name()}, scratch);
    ASSERT_EQ(stepped.status, 0) << stepped.err;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    stop(*live);
    EXPECT_NE(told().find("kept program 2 \""), std::string::npos) << told();
}

} // namespace
} // namespace voltara::test
