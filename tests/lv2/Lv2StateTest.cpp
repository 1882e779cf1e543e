// The LV2 plug-in's saved state under a host built on lilv, as session hosts
// are: a saved session comes back whole in a new instance (every program,
// its name, the current program and the sound), whether the host restores
// it while stopped or while it runs on another thread; a state from anywhere
// else gives what it holds in good order and the host's log hears the rest.

#ifdef VOLTARA_HAS_LILV

#include "lv2/PortTable.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/StereoTones.h"
#include "tests/support/TempFolder.h"
#include "tests/support/lv2/LilvHost.h"
#include "tools/pluginhost/RackSessionText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>
#include <unistd.h>

namespace voltara {
namespace {

using pluginhost::RackSession;
using test::ChildProgram;
using test::LilvHost;
using test::LilvHostInstance;
using test::Stereo;
using test::tones;
namespace RackSessionText = pluginhost::RackSessionText;

constexpr double rate = 44100.0;
const std::string bundles = std::filesystem::path(VOLTARA_LV2_BUNDLE).parent_path().string();
const std::string sessionKey = std::string(lv2::pluginUri) + ":session";
const std::string controlsKey = std::string(lv2::pluginUri) + ":controls";
// The bundle is not built with the sanitizers' runtimes that a sanitised
// bundle needs; jalv gets them preloaded.
#ifdef VOLTARA_SANITIZER_RUNTIMES
const std::string preloadSanitizers = "LD_PRELOAD=" VOLTARA_SANITIZER_RUNTIMES;
#else
const std::string preloadSanitizers = "LD_PRELOAD=";
#endif

// The user's bank: the factory programs renamed, with rates and mixes of
// their own and the phaser and tremolo on in every third.
RackSession userBank()
{
    RackSession bank;
    for (int32_t p = 0; p < RackSession::programCount; ++p) {
        RackSession::Program& program = bank.programs[std::size_t(p)];
        program.name = "User " + std::to_string(p);
        std::copy(std::begin(lv2::factoryPrograms[p].values), std::end(lv2::factoryPrograms[p].values),
                  program.values.begin());
        program.values[26] = float(p % 10) / 10.0f; // PHS Rate
        program.values[54] = float(p % 7) / 7.0f;   // DEL Mix
        if (p % 3 == 0)
            program.values[24] = program.values[64] = 1.0f; // PHS On, TRM On
    }
    bank.current = 0;
    return bank;
}

// A Turtle string literal of text.
std::string turtleLiteral(const std::string& text)
{
    std::string literal = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            literal += std::string("\\") + c;
        else if (c == '\n')
            literal += "\\n";
        else
            literal += c;
    }
    return literal + "\"";
}

// A state file holding properties (key and Turtle object) and no port value.
std::string stateTurtle(const std::vector<std::pair<std::string, std::string>>& properties)
{
    std::string text = "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                       "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                       "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                       "<urn:voltara-test:state> a pset:Preset ;\n"
                       "    lv2:appliesTo <"
                       + std::string(lv2::pluginUri) + "> ;\n    state:state [\n";
    for (const auto& [key, object] : properties)
        text += "        <" + key + "> " + object + " ;\n";
    return text + "    ] .\n";
}

std::string sessionState(const std::string& text)
{
    return stateTurtle({{sessionKey, turtleLiteral(text)}});
}

struct Lv2State : ::testing::Test {
    // The session text the instance saves.
    static std::string savedSession(LilvHostInstance& instance)
    {
        const auto properties = instance.savedProperties();
        const auto found = properties.find(sessionKey);
        if (found == properties.end())
            return "";
        EXPECT_EQ(found->second.type, "http://lv2plug.in/ns/ext/atom#String");
        const std::string& bytes = found->second.bytes;
        return bytes.substr(0, bytes.find('\0'));
    }

    static RackSession sessionOf(LilvHostInstance& instance)
    {
        RackSession session;
        EXPECT_EQ(RackSessionText::read(savedSession(instance), session).problems, std::vector<std::string>{});
        return session;
    }

    // The instance's sound from a fresh start: its modules reset, the same
    // flutter noise (the tape delay draws from the C library's generator).
    Stereo render(LilvHostInstance& instance)
    {
        instance.deactivate();
        instance.activate();
        Stereo out(input.left.size());
        std::srand(1);
        instance.run(input.left, input.right, out.left, out.right);
        return out;
    }

    void run(LilvHostInstance& instance)
    {
        Stereo out(256);
        instance.run(std::vector<float>(256, 0.1f), std::vector<float>(256, -0.1f), out.left, out.right);
    }

    // A new instance holding the user's bank, program 0 current.
    std::unique_ptr<LilvHostInstance> withUserBank()
    {
        auto instance = std::make_unique<LilvHostInstance>(lilv, rate);
        instance->activate();
        run(*instance);
        const auto bank = lilv.stateFromTurtle(sessionState(RackSessionText::write(userBank())));
        EXPECT_TRUE(bank);
        instance->restore(bank.get());
        run(*instance);
        return instance;
    }

    LilvHost lilv{bundles, lv2::pluginUri};
    const Stereo input = tones(8192);
};

TEST_F(Lv2State, ASavedSessionComesBackWholeInANewInstance)
{
    // The user's bank loaded, program 5 edited, program 9 current by MIDI.
    auto first = withUserBank();
    first->midi(0, 0xc0, 5, 0);
    run(*first);
    RackSession wanted = userBank();
    // Each control moved away from where it stands, so that program 5 takes it.
    for (const auto& [symbol, parameter] : {std::pair{"phs_on", 24}, {"phs_rate", 26}, {"cho_on", 40}}) {
        float& control = first->control(symbol);
        control = control > 0.5f ? 0.0f : 0.75f;
        wanted.programs[5].values[std::size_t(parameter)] = control;
    }
    run(*first);
    first->midi(0, 0xc3, 9, 0);
    run(*first);

    const std::string saved = savedSession(*first);
    const RackSession session = sessionOf(*first);
    wanted.current = 9;
    EXPECT_EQ(session.current, 9);
    for (std::size_t p = 0; p < wanted.programs.size(); ++p) {
        EXPECT_EQ(session.programs[p].name, wanted.programs[p].name) << p;
        EXPECT_EQ(session.programs[p].values, wanted.programs[p].values) << p;
    }

    // Through lilv into a folder and back, as a session host keeps it.
    TempFolder folder;
    const auto state = first->save();
    ASSERT_TRUE(state);
    lilv.saveState(state.get(), folder.path(), "");
    const auto fromFile = lilv.stateFromFile(folder.file("state.ttl"));
    ASSERT_TRUE(fromFile);

    // A new instance with a place of its own, which the restore replaces;
    // the host sets the controls back to the values they had, which are
    // program 5's, while program 9 plays.
    LilvHostInstance second(lilv, rate);
    second.activate();
    second.midi(0, 0xc0, 20, 0);
    second.control("del_mix") = 0.9f;
    run(second);
    second.restore(fromFile.get());
    run(second);
    EXPECT_EQ(savedSession(second), saved);
    for (const char* symbol : {"phs_on", "phs_rate", "cho_on", "del_mix", "bypass"})
        EXPECT_EQ(second.control(symbol), first->control(symbol)) << symbol;

    // The same sound for the current program and after program changes.
    for (const int program : {-1, 5, 0, 17, 9}) {
        SCOPED_TRACE("program " + std::to_string(program));
        if (program >= 0) {
            first->midi(0, 0xc0, uint8_t(program), 0);
            second.midi(0, 0xc0, uint8_t(program), 0);
            run(*first);
            run(second);
        }
        const Stereo a = render(*first), b = render(second);
        EXPECT_EQ(a.left, b.left);
        EXPECT_EQ(a.right, b.right);
        EXPECT_NE(a.left, input.left);
        for (const float sample : b.left)
            ASSERT_TRUE(std::isfinite(sample));
    }
    // The edited program is not the bank's: the restore carried the edit.
    LilvHostInstance bankOnly(lilv, rate);
    bankOnly.activate();
    const auto bank = lilv.stateFromTurtle(sessionState(RackSessionText::write(userBank())));
    bankOnly.restore(bank.get());
    for (auto* instance : {first.get(), &second, &bankOnly}) {
        instance->midi(0, 0xc0, 5, 0);
        run(*instance);
    }
    EXPECT_NE(render(bankOnly).left, render(second).left);

    for (const std::string& line : lilv.takeLog())
        EXPECT_EQ(line.rfind("trace: ", 0), 0u) << line;
}

// A host that restores while it runs (the plug-in says its restore is safe
// then) goes on calling run on its audio thread; the session is taken between
// two runs, and the controls the host sets back a few runs later are no
// change.
TEST_F(Lv2State, ASessionRestoredWhileRunningIsTakenBetweenTwoRuns)
{
    auto first = withUserBank();
    first->midi(0, 0xc0, 5, 0);
    run(*first);
    first->control("trm_on") = 1.0f;
    first->control("trm_depth") = 0.8f;
    run(*first);
    first->midi(0, 0xc0, 9, 0);
    run(*first);
    const auto state = first->save();
    const std::string saved = savedSession(*first);

    LilvHostInstance second(lilv, rate);
    second.activate();
    std::atomic<bool> stop{false}, finite{true};
    std::atomic<int> runs{0};
    std::thread audio([&] {
        const std::vector<float> in(128, 0.25f);
        std::vector<float> left, right;
        while (!stop) {
            second.run(in, in, left, right);
            for (std::size_t j = 0; j < left.size(); ++j)
                finite = finite && std::isfinite(left[j]) && std::isfinite(right[j]) && std::abs(left[j]) < 1000.0f;
            ++runs;
        }
    });
    const auto waitRuns = [&](int count) {
        const int until = runs + count;
        while (runs < until)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    };
    waitRuns(20);
    second.restore(state.get(), true);
    waitRuns(20);
    stop = true;
    audio.join();
    EXPECT_TRUE(finite);
    EXPECT_EQ(savedSession(second), saved);
    EXPECT_EQ(second.control("trm_depth"), 0.8f);
}

struct Damage {
    const char* what;
    std::string state;             // Turtle
    std::vector<std::string> told; // each found in the log
    int restoredPrograms;          // programs 0 .. this - 1 take the text's names
};

// Every program named "Saved N", program 3 current.
std::string savedText()
{
    RackSession session = userBank();
    for (int32_t p = 0; p < RackSession::programCount; ++p)
        session.programs[std::size_t(p)].name = "Saved " + std::to_string(p);
    session.current = 3;
    return RackSessionText::write(session);
}

// A state from anywhere gives what it holds in good order and keeps the rest
// as it was (the user's bank here, never the factory's), and the host's log
// says what was left out.
TEST_F(Lv2State, ADamagedStateGivesWhatIsGoodAndTellsTheLog)
{
    const std::string text = savedText();
    const std::string cut = text.substr(0, text.find("program 12 ") + 400);
    std::string outside = text;
    outside.replace(outside.find("    26 "), 7, "    26 7");
    std::string later = text;
    later.replace(later.find("voltara session 1"), 17, "voltara session 9\nchain reverb-first");
    const Damage cases[] = {
        {"cut short", sessionState(cut), {"warning: ", "no program 13 to 31: kept as it was"}, 13},
        {"a value outside 0 .. 1", sessionState(outside), {"limited to 0 .. 1"}, 32},
        {"a later version", sessionState(later), {"written by a later version (session 9)", "not understood"}, 32},
        {"not text", stateTurtle({{sessionKey, "42"}}), {"error: ", "not text: nothing restored"}, 0},
        {"not a session", sessionState("[Bank]\nname=x\n"), {"not a Voltara session"}, 0},
        {"controls of another count",
         stateTurtle({{sessionKey, turtleLiteral(text)},
                      {controlsKey, "[ a <http://lv2plug.in/ns/ext/atom#Vector> ; "
                                    "<http://lv2plug.in/ns/ext/atom#childType> "
                                    "<http://lv2plug.in/ns/ext/atom#Float> ; "
                                    "<http://www.w3.org/1999/02/22-rdf-syntax-ns#value> "
                                    "( \"0.5\"^^<http://www.w3.org/2001/XMLSchema#float> ) ]"}}),
         {"its controls are not 72 numbers"},
         32},
    };
    for (const Damage& damage : cases) {
        SCOPED_TRACE(damage.what);
        auto instance = withUserBank();
        lilv.takeLog();
        const auto state = lilv.stateFromTurtle(damage.state);
        ASSERT_TRUE(state);
        instance->restore(state.get());
        run(*instance);
        const std::vector<std::string> log = lilv.takeLog();
        std::string told;
        for (const std::string& line : log)
            told += line + "\n";
        for (const std::string& part : damage.told)
            EXPECT_NE(told.find(part), std::string::npos) << "\"" << part << "\" in\n" << told;

        const RackSession session = sessionOf(*instance);
        for (int32_t p = 0; p < RackSession::programCount; ++p) {
            const bool restored = p < damage.restoredPrograms;
            EXPECT_EQ(session.programs[std::size_t(p)].name, (restored ? "Saved " : "User ") + std::to_string(p));
            for (const float value : session.programs[std::size_t(p)].values)
                EXPECT_TRUE(value >= 0.0f && value <= 1.0f);
        }
        EXPECT_EQ(session.current, damage.restoredPrograms > 0 ? 3 : 0);
        const Stereo out = render(*instance);
        for (const float sample : out.left)
            ASSERT_TRUE(std::isfinite(sample));
    }
}

// A preset holds control values only: the host sets them, the current program
// takes those that changed as it takes any change of the controls, and the
// other programs stay as they are.
TEST_F(Lv2State, APresetChangesOnlyTheCurrentProgram)
{
    auto instance = withUserBank();
    instance->midi(0, 0xc0, 4, 0);
    run(*instance);
    lilv.takeLog();
    const auto preset = lilv.preset(std::string(lv2::pluginUri) + ":preset:07");
    ASSERT_TRUE(preset);
    instance->restore(preset.get());
    run(*instance);
    EXPECT_EQ(lilv.takeLog(), std::vector<std::string>{});

    const RackSession session = sessionOf(*instance);
    const RackSession bank = userBank();
    EXPECT_EQ(session.current, 4);
    for (int32_t p = 0; p < RackSession::programCount; ++p) {
        EXPECT_EQ(session.programs[std::size_t(p)].name, bank.programs[std::size_t(p)].name);
        if (p != 4) {
            EXPECT_EQ(session.programs[std::size_t(p)].values, bank.programs[std::size_t(p)].values) << p;
        }
    }
    // The controls stood at their defaults, factory program 0.
    int changed = 0;
    for (int32_t parameter = 0; parameter < RackSession::parameterCount; ++parameter) {
        const float preset = lv2::factoryPrograms[7].values[parameter];
        const bool moved = preset != lv2::factoryPrograms[0].values[parameter];
        changed += moved;
        EXPECT_EQ(session.programs[4].values[std::size_t(parameter)],
                  moved ? preset : bank.programs[4].values[std::size_t(parameter)])
            << parameter;
    }
    EXPECT_GT(changed, 10);
}

// The lamps jalv printed last for its "monitors" command, by symbol.
std::map<std::string, float> lastLamps(const std::string& printed)
{
    std::map<std::string, float> lamps;
    static const std::regex line("([a-z]+_lamp) = ([0-9.]+)");
    for (auto at = std::sregex_iterator(printed.begin(), printed.end(), line); at != std::sregex_iterator(); ++at)
        lamps[(*at)[1]] = std::stof((*at)[2]);
    return lamps;
}

// jalv, the reference LV2 host, on a JACK server of its own (the dummy
// driver, a name no other run uses): it loads a saved state directory into
// the plug-in with -l, and a second saved state while the plug-in runs (its
// "preset" command). In both the controls the host sets back hold program 5's
// values with the phaser on, while the current program, 9 and then 12, runs
// only the tremolo and then only the chorus: the lamps show what plays.
TEST_F(Lv2State, JalvLoadsASavedStateIntoTheRunningPlugin)
{
    const std::string jalv = test::findProgram("jalv"), jackd = test::findProgram("jackd"),
                      jackWait = test::findProgram("jack_wait");
    if (jalv.empty() || jackd.empty() || jackWait.empty())
        GTEST_SKIP() << "jalv or jackd is not installed (Debian packages jalv, jackd2)";

    RackSession bank = userBank();
    for (const int32_t p : {9, 12}) {
        for (const int32_t on : {8, 16, 24, 32, 40, 64}) // every module with a lamp off
            bank.programs[std::size_t(p)].values[std::size_t(on)] = 0.0f;
    }
    bank.programs[9].values[64] = 1.0f;  // TRM On
    bank.programs[12].values[40] = 1.0f; // CHO On
    LilvHostInstance instance(lilv, rate);
    instance.activate();
    run(instance);
    const auto bankState = lilv.stateFromTurtle(sessionState(RackSessionText::write(bank)));
    instance.restore(bankState.get());
    instance.midi(0, 0xc0, 5, 0);
    run(instance);
    instance.control("phs_on") = 1.0f;
    instance.control("trm_on") = 0.0f;
    instance.control("cho_on") = 0.0f;
    run(instance);
    TempFolder scratch;
    const auto saveWith = [&](int program, const std::string& folder, const std::string& uri) {
        instance.midi(0, 0xc0, uint8_t(program), 0);
        run(instance);
        const auto state = instance.save();
        std::filesystem::create_directories(scratch.file(folder));
        lilv.saveState(state.get(), scratch.file(folder), uri);
    };
    // jalv reads the command's URI up to its first '-'.
    const std::string presetUri = "urn:voltara:test:second";
    saveWith(9, "first", "");
    saveWith(12, "lv2/second.lv2", presetUri);

    static int servers = 0;
    const std::string server = "voltara-test-" + std::to_string(getpid()) + "-" + std::to_string(++servers);
    ChildProgram jack(jackd, {"-n", server, "-d", "dummy", "-r", "44100", "-p", "256"}, {"JACK_NO_AUDIO_RESERVATION=1"},
                      scratch.file("jackd.out"), scratch.file("jackd.err"));
    const auto waited = test::runProgram(jackWait, {"-s", server, "-w", "-t", "20"}, {}, scratch);
    ASSERT_EQ(waited.status, 0) << waited.out << waited.err << scratch.read("jackd.err");

    // jalv prints its "monitors" at once with line-buffered output.
    ChildProgram host("stdbuf",
                      {"-oL", jalv, "-t", "-n", server + "-jalv", "-l", scratch.file("first"), lv2::pluginUri},
                      {"LV2_PATH=" + bundles + ":" + scratch.file("lv2"), "JACK_DEFAULT_SERVER=" + server,
                       "JACK_NO_START_SERVER=1", preloadSanitizers, "ASAN_OPTIONS=detect_leaks=0"},
                      scratch.file("jalv.out"), scratch.file("jalv.err"));
    // Asks for the lamps until they show what is wanted, at most 30 s.
    const auto lampsBecome = [&](const std::map<std::string, bool>& lit) {
        for (int ask = 0; ask < 150; ++ask) {
            host.write("monitors\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const auto lamps = lastLamps(scratch.read("jalv.out"));
            if (std::all_of(lit.begin(), lit.end(), [&](const auto& wanted) {
                    const auto found = lamps.find(wanted.first);
                    return found != lamps.end() && (found->second > 0.0f) == wanted.second;
                }))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(lampsBecome({{"trm_lamp", true}, {"cho_lamp", false}, {"phs_lamp", false}}))
        << scratch.read("jalv.out") << scratch.read("jalv.err");
    // As a user does: the presets listed (jalv loads them then), one chosen.
    host.write("presets\npreset " + presetUri + "\n");
    EXPECT_TRUE(lampsBecome({{"trm_lamp", false}, {"cho_lamp", true}, {"phs_lamp", false}}))
        << scratch.read("jalv.out") << scratch.read("jalv.err");
    host.closeInput();
    EXPECT_EQ(host.wait(20.0), 0) << scratch.read("jalv.err");
    jack.stop();

    const std::string told = scratch.read("jalv.err");
    EXPECT_NE(told.find("restored the saved session, program 9 current"), std::string::npos) << told;
    EXPECT_NE(told.find("restored the saved session, program 12 current"), std::string::npos) << told;
    EXPECT_EQ(told.find("warning"), std::string::npos) << told;
}

} // namespace
} // namespace voltara

#endif
