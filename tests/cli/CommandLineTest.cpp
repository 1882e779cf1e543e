#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

// What a user meets first: help for the tool, each command and each action,
// the version, and mistakes that point to the help.
namespace voltara::test {
namespace {

TEST(CommandLine, HelpListsEveryCommandAndExits0)
{
    VoltaraRun voltara;
    for (const char* word : {"--help", "-h", "help"}) {
        const auto result = voltara({word});
        EXPECT_EQ(result.status, 0) << word;
        for (const char* command : {"process", "info", "bank", "kfr", "content", "editor"})
            EXPECT_NE(result.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    }
    const auto none = voltara({});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("usage: voltara COMMAND"), std::string::npos);
}

TEST(CommandLine, VersionNamesTheTool)
{
    VoltaraRun voltara;
    const auto result = voltara({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("voltara ", 0), 0u) << result.out;
}

// Text with every run of blanks and line breaks as one blank: help lines wrap.
std::string flowed(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n';
        if (!blank || out.empty() || out.back() != ' ')
            out += blank ? ' ' : c;
    }
    return out;
}

// Each command's help lists every option it takes, with defaults and ranges.
TEST(CommandLine, CommandHelpShowsOptionsDefaultsAndRanges)
{
    VoltaraRun voltara;
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {{"process", "--help"},
         {"usage: voltara process IN OUT [options]", "--demo", "--plugin PATH", "--bank FILE", "--program N|NAME",
          "--set PARAMETER=VALUE", "--tempo BPM", "1 to 999 (default 120)", "--block N", "1 to 65536 (default 512)",
          "--tail SECONDS|auto", "(default 3)", "--cc TIME:CONTROLLER:VALUE", "--program-change TIME:P",
          "-b, --bits 16|24|32f", "--gain DB", "-96 to 24 (default 0)", "-h, --help"}},
        {{"process", "-h"}, {"usage: voltara process IN OUT [options]"}},
        {{"info", "--help"}, {"usage: voltara info", "--program N|NAME", "--set PARAMETER=VALUE"}},
        {{"bank", "--help"}, {"dump FILE", "build TEXT OUT.fxb"}},
        {{"bank", "dump", "--help"}, {"usage: voltara bank dump FILE", "--plugin PATH"}},
        {{"kfr", "--help"}, {"encode IN.wav OUT.kfr", "decode IN.kfr OUT.wav", "info FILE.kfr"}},
        {{"kfr", "encode", "-h"}, {"usage: voltara kfr encode IN.wav OUT.kfr", "--verify", "--plugin PATH"}},
        {{"content", "--help"}, {"show", "set FOLDER", "unset"}},
        {{"editor", "--help"},
         {"usage: voltara editor OUT.png [options]", "--program N|NAME", "--script FILE|-",
          "--knob-style circular|linear", "(default circular)", "--play SECONDS", "0 to 10 (default 1)"}},
        {{"help", "process"}, {"usage: voltara process IN OUT [options]"}},
    };
    for (const Case& c : cases) {
        const auto result = voltara(c.words);
        EXPECT_EQ(result.status, 0) << c.words[0] << " " << c.words[1];
        for (const std::string& text : c.shown)
            EXPECT_NE(flowed(result.out).find(text), std::string::npos) << text << " in\n" << result.out;
    }
}

TEST(CommandLine, MistakesPointToTheHelp)
{
    VoltaraRun voltara;
    struct Case {
        std::vector<std::string> words;
        std::string message;
    };
    const Case cases[] = {
        {{"process", "--demo", "x.wav", "--loud"}, "unknown option --loud (see voltara process --help)"},
        {{"process", "--demo", "x.wav", "--tempo=fast"}, "--tempo must be a number from 1 to 999, not \"fast\""},
        {{"process", "--demo", "x.wav", "--demo=1"}, "option --demo takes no value"},
        {{"process", "--demo", "x.wav", "--block"}, "option --block needs a value"},
        {{"kfr", "squash"}, "unknown action squash; usage: voltara kfr encode|decode|info"},
        {{"kfr", "encode", "a.wav"}, "usage: voltara kfr encode IN.wav OUT.kfr"},
        {{"editor", "-"}, "the screenshot needs a file name"},
        {{"editor", "--knob-style", "round", "x.png"}, "--knob-style is circular or linear, not \"round\""},
        {{"squash"}, "unknown command squash (try voltara --help)"},
    };
    for (const Case& c : cases) {
        const auto result = voltara(c.words);
        EXPECT_NE(result.status, 0) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

} // namespace
} // namespace voltara::test
