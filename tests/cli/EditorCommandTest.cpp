#include "tests/support/TempFolder.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace voltara::test {
namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Width and height of a PNG file; 0 x 0 when it is none.
std::pair<int, int> pngSize(const std::string& path)
{
    const std::string bytes = fileBytes(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {0, 0};
    auto word = [&](size_t at) {
        return int(uint8_t(bytes[at])) << 24 | int(uint8_t(bytes[at + 1])) << 16 | int(uint8_t(bytes[at + 2])) << 8
               | int(uint8_t(bytes[at + 3]));
    };
    return {word(16), word(20)};
}

TEST(EditorCommand, TellsWhatTheScriptDidAndWritesAScreenshot)
{
    VoltaraRun voltara;
    ASSERT_TRUE(voltara.factoryBankLoaded());
    std::ofstream(voltara.file("script.txt")) << "# the phaser rate, then an eighth note for the delay\n"
                                                 "move 276 199\n"
                                                 "down left\n"
                                                 "move 276 150\n"
                                                 "wait 200\n"
                                                 "up\n"
                                                 "choose 10\n"
                                                 "move 157 55   # the delay's display\n"
                                                 "down left\n"
                                                 "up\n"
                                                 "select none\n"
                                                 "move 526 89\n"
                                                 "down left\n"
                                                 "up\n";
    const auto result = voltara({"editor", "--program", "3", "--knob-style", "linear", "--script",
                                 voltara.file("script.txt"), voltara.file("shot.png")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "program 3 \"Slow Phaser\"")) << result.out;
    for (const char* line :
         {"26 PHS Rate", "49 DEL Sync", "50 DEL Time", "begin edit   26 PHS Rate", "end edit     26 PHS Rate",
          "entry 10 \" 1/8 Note  \"", "file selector (file) \"Load AW Voltara Edition FX Bank\"", ": cancelled"})
        EXPECT_TRUE(contains(result.out, line)) << line << " in\n" << result.out;
    EXPECT_TRUE(contains(result.out, "0.6615  1/8")) << result.out;
    EXPECT_EQ(pngSize(voltara.file("shot.png")), std::make_pair(600, 354));
    // What the six displays read at the end, as drawn: the delay's note, the
    // phaser's new rate among them.
    const std::string displays = result.out.substr(result.out.find("displays:\n"));
    for (const char* line : {"(143, 51)-(172, 60) \"1/8\"", "(263, 51)-(292, 60) \"2.69\"",
                             "(13, 77)-(42, 86) \"2.56\"", "(261, 241)-(290, 250) \""})
        EXPECT_TRUE(contains(displays, line)) << line << " in\n" << displays;
}

// Each display shows what its module runs: the delay's free time in ms, the
// text its parameter gives.
TEST(EditorCommand, TheDisplaysReadWhatTheModulesRun)
{
    VoltaraRun voltara;
    const auto result =
        voltara({"editor", "--set", "49=0", "--set", "50=0.5", "--play", "0", voltara.file("shot.png")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "(143, 51)-(172, 60) \"662\"")) << result.out;
    EXPECT_TRUE(contains(voltara({"info", "--set", "49=0", "--set", "50=0.5"}).out, "662 ms"));
}

TEST(EditorCommand, ScriptErrorsNameTheirLineAndWriteNothing)
{
    VoltaraRun voltara;
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"move 10\n", "script.txt:1: expected \"move X Y\""},
        {"move 10 10\n\ndown thumb\n", "script.txt:3: down takes a button"},
        {"jump 3 4\n", "script.txt:1: unknown action \"jump\""},
        {"wait soon\n", "script.txt:1: wait takes a number of milliseconds"},
        {"move 10 10\ndown left\nmove 20 20\n", "script.txt:2: the button pressed here is never released"},
        {"down left\nkey up\nup\n", "script.txt:2: key while a button is held"},
        {"choose 40\nmove 157 55\ndown left\nup\n", "script.txt:1: the menu has only 16 entries"},
        // The simulated clock holds 2^31 - 1 ms; a click beyond it was dropped.
        {nullptr, "script.txt:3580: the script lasts past 2147483647 ms, longer than the simulated clock holds"},
    };
    std::string tooLong;
    for (int line = 0; line < 3580; ++line)
        tooLong += "wait 600000\n";
    tooLong += "move 157 55\ndown left\nup\n";
    for (const Case& c : cases) {
        std::ofstream(voltara.file("script.txt")) << (c.script ? c.script : tooLong);
        const auto result = voltara({"editor", "--script", voltara.file("script.txt"), voltara.file("shot.png")});
        EXPECT_NE(result.status, 0) << c.message;
        EXPECT_TRUE(contains(result.err, c.message)) << c.message << " in " << result.err;
        EXPECT_TRUE(fileBytes(voltara.file("shot.png")).empty()) << c.message;
    }
}

// A script that ends just before the clock's limit still clicks at its end.
TEST(EditorCommand, AScriptUpToTheClocksLimitPlaysWhole)
{
    VoltaraRun voltara;
    std::string script = "choose 10\n";
    for (int line = 0; line < 3579; ++line)
        script += "wait 600000\n";
    script += "wait 83547\nmove 157 55\ndown left\nup\n"; // the release at 2147483627 ms
    std::ofstream(voltara.file("script.txt")) << script;
    const auto result =
        voltara({"editor", "--script", voltara.file("script.txt"), "--play", "0", voltara.file("shot.png")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "0.6615  1/8")) << result.out;
}

// Scripts are read only from regular files (or standard input), up to 1 MB.
TEST(EditorCommand, ScriptsThatAreNoFilesAreRefused)
{
    VoltaraRun voltara;
    mkdir(voltara.file("folder").c_str(), 0755);
    std::ofstream(voltara.file("huge.txt")) << std::string(2 << 20, '#');
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/zero", "cannot read /dev/zero: not a regular file (a device, FIFO or socket)"},
        {voltara.file("folder"), "cannot read " + voltara.file("folder") + ": it is a folder"},
        {voltara.file("missing.txt"), "cannot read " + voltara.file("missing.txt") + ": no such file"},
        {voltara.file("huge.txt"), "larger than 1048576 bytes"},
    };
    for (const auto& [script, message] : cases) {
        const auto result = voltara({"editor", "--script", script, voltara.file("shot.png")});
        EXPECT_EQ(result.status, 1) << script;
        EXPECT_TRUE(contains(result.err, message)) << message << " in " << result.err;
        EXPECT_TRUE(fileBytes(voltara.file("shot.png")).empty()) << script;
    }
}

// As a user runs it: the editor on the display until its window closes (here
// by termination, as Ctrl-C closes it), then what changed.
TEST(EditorCommand, LiveShowsTheEditorOnTheDisplayForTheUsersOwnMouse)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.running()) << display.failure();
    VoltaraRun voltara;
    TempFolder scratch, tools;
    ProgramResult result;
    std::thread live([&] {
        result = runProgram(VOLTARA_BINARY_DIR "/voltara", {"editor", "--live", "--program", "3"},
                            {"VOLTARA_REGISTRY=" + voltara.registry(), "DISPLAY=" + display.name()}, scratch);
    });
    const std::vector<std::string> on{"DISPLAY=" + display.name()};
    const ProgramResult found = runProgram("xdotool", {"search", "--sync", "--name", "^AW Voltara FX$"}, on, tools);
    const std::string window = found.out.substr(0, found.out.find('\n'));
    // The phaser's on button.
    EXPECT_EQ(
        runProgram("xdotool", {"mousemove", "--window", window, "300", "290", "click", "1", "sleep", "0.5"}, on, tools)
            .status,
        0);
    const ProgramResult owner = runProgram("xdotool", {"getwindowpid", window}, on, tools);
    const int pid = std::atoi(owner.out.c_str());
    ASSERT_GT(pid, 0) << owner.err;
    kill(pid, SIGTERM);
    live.join();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "program 3 \"Slow Phaser\"")) << result.out;
    EXPECT_TRUE(contains(result.out, "24 PHS On       1.0000 -> 0.0000  OFF")) << result.out;
}

TEST(EditorCommand, LiveWithoutADisplaySaysSo)
{
    VoltaraRun voltara;
    TempFolder scratch;
    const ProgramResult result = runProgram(VOLTARA_BINARY_DIR "/voltara", {"editor", "--live"},
                                            {"DISPLAY=", "VOLTARA_REGISTRY=" + voltara.registry()}, scratch);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err, "cannot show the editor: no X display (DISPLAY is not set)")) << result.err;
    const auto both = voltara({"editor", "--live", voltara.file("shot.png")});
    EXPECT_EQ(both.status, 1);
    EXPECT_TRUE(contains(both.err, "--live shows the editor on the display: it takes no screenshot file")) << both.err;
}

} // namespace
} // namespace voltara::test
