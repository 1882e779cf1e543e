// The text form of rack sessions: what is written reads back the same, and a
// text from anywhere else is taken as far as it is good, the rest told.

#include "tools/pluginhost/RackSessionText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace voltara::pluginhost {
namespace {

// Every program named and filled with values of its own.
RackSession distinctSession(float offset)
{
    RackSession session;
    for (int32_t p = 0; p < RackSession::programCount; ++p) {
        auto& program = session.programs[std::size_t(p)];
        program.name = "Program " + std::to_string(p) + (offset > 0.0f ? " b" : " a");
        for (int32_t i = 0; i < RackSession::parameterCount; ++i)
            program.values[std::size_t(i)] = std::fmod(float(p * 72 + i) * 0.0137f + offset, 1.0f);
    }
    session.current = offset > 0.0f ? 3 : 17;
    return session;
}

bool sameSession(const RackSession& a, const RackSession& b)
{
    if (a.current != b.current)
        return false;
    for (std::size_t p = 0; p < a.programs.size(); ++p) {
        if (a.programs[p].name != b.programs[p].name || a.programs[p].values != b.programs[p].values)
            return false;
    }
    return true;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(RackSessionText, WhatIsWrittenReadsBackExactly)
{
    RackSession session = distinctSession(0.0f);
    // Names of any bytes the rack keeps, values at the edges and of every
    // magnitude.
    session.programs[0].name = "Lead \"Fat\" \\ 100%";
    session.programs[1].name = std::string("tab\there\nline\x01\x7f\xe9\xff");
    session.programs[2].name = "";
    session.programs[3].name = "A name of 23 characters";
    session.programs[4].values = {};
    session.programs[4].values[1] = 1.0f;
    session.programs[4].values[2] = std::numeric_limits<float>::denorm_min();
    session.programs[4].values[3] = std::nextafter(1.0f, 0.0f);
    session.programs[4].values[4] = 1.0f / 3.0f;
    session.programs[4].values[5] = 1e-30f;
    session.current = 31;

    const std::string text = RackSessionText::write(session);
    RackSession read = distinctSession(0.5f);
    EXPECT_EQ(joined(RackSessionText::read(text, read).problems), "");
    EXPECT_TRUE(sameSession(read, session)) << text;
    // Printable ASCII only, so that any host's file keeps it.
    for (const char c : text)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << int(c);
    // Line ends of another system read the same.
    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    RackSession again = distinctSession(0.5f);
    EXPECT_EQ(joined(RackSessionText::read(crlf, again).problems), "");
    EXPECT_TRUE(sameSession(again, session));
}

struct Damaged {
    const char* what;
    std::string text;
    std::vector<std::string> problems; // each found in the report, in this order
};

// A session written by hand: program 5 with a few values, program 9 current.
const std::string header = "voltara session 1\ncurrent 9\n";
constexpr char withNul[] = "program 5 \"Five\"\n    10 0.25\n\0    11 0.5\n";

TEST(RackSessionText, ADamagedTextGivesWhatIsGoodAndTellsTheRest)
{
    const Damaged cases[] = {
        {"another file", "[Bank]\nname=x\n", {"not a Voltara session", "nothing taken"}},
        {"empty", "", {"not a Voltara session"}},
        {"a later version",
         "voltara session 4\ncurrent 9\nchain reverb-first\nprogram 5 \"Five\"\n    10 0.25\n",
         {"line 1: written by a later version (session 4)", "line 3: not understood", "program 5 has no value"}},
        {"no version", "voltara session x\ncurrent 9\n", {"line 1: session version \"x\" is not a version"}},
        {"cut short",
         header + "program 5 \"Five\"\n    10 0.25\n    11 0.2e-",
         {"line 5: index 11 in program 5: \"0.2e-\" is not a number",
          "program 5 has no value for index 0 to 9, 11 to 71", "no program 0 to 4, 6 to 31: kept as it was"}},
        {"values outside 0 .. 1",
         header + "program 5 \"Five\"\n    10 1.5\n    11 -2\n",
         {"line 4: index 10 in program 5: 1.5 limited to 0 .. 1", "line 5: index 11 in program 5: -2 limited"}},
        {"not numbers",
         header + "program 5 \"Five\"\n    10 nan\n    11 inf\n    12 1e50\n    13 0,5\n    14 0x1p-1\n",
         {"\"nan\" is not a number", "\"inf\" is not a number", "\"1e50\" is not a number", "\"0,5\" is not",
          "\"0x1p-1\" is not"}},
        {"wrong counts",
         header
             + "program 32 \"Extra\"\n    10 0.5\nprogram 5 \"Five\"\n    72 0.5\n    10 0.25\n    10 0.75\n"
               "program 5 \"Again\"\n    10 0.5\n",
         {"line 3: the program number is not one of 0 to 31", "line 6: index \"72\" in program 5 is not one of 0 to 71",
          "line 8: index 10 in program 5 a second time", "line 9: program 5 a second time"}},
        {"a value before any program", header + "    10 0.25\n", {"line 3: a value before the first program"}},
        {"the current program",
         "voltara session 1\ncurrent 32\ncurrent 4\n",
         {"line 2: the current program is not one of 0 to 31", "line 3: a second current program"}},
        {"no current program", "voltara session 1\n", {"no current program: program 17 stays current"}},
        {"names",
         header + "program 5 Five\nprogram 6 \"A name that is much too long for the rack\"\n",
         {"line 3: program 5 has no name in quotes: its name is kept", "line 4: the name of program 6 is cut"}},
        {"a NUL ends the text",
         header + std::string(withNul, sizeof withNul - 1),
         {"program 5 has no value for index 0 to 9, 11 to 71"}},
    };
    for (const Damaged& damaged : cases) {
        SCOPED_TRACE(damaged.what);
        const RackSession before = distinctSession(0.0f);
        RackSession session = before;
        const RackSessionText::Report read = RackSessionText::read(damaged.text, session);
        EXPECT_EQ(read.isSession, damaged.text.rfind("voltara session", 0) == 0);
        const std::string report = joined(read.problems);
        std::size_t from = 0;
        for (const std::string& problem : damaged.problems) {
            const std::size_t found = report.find(problem, from);
            EXPECT_NE(found, std::string::npos) << "\"" << problem << "\" in\n" << report;
            from = found == std::string::npos ? from : found;
        }
        // Nothing but what the text holds in good order changes.
        for (std::size_t p = 0; p < session.programs.size(); ++p) {
            const bool named = p == 5 || p == 6; // the only programs the texts hold
            for (std::size_t i = 0; i < RackSession::parameterCount; ++i) {
                const float value = session.programs[p].values[i];
                EXPECT_GE(value, 0.0f);
                EXPECT_LE(value, 1.0f);
                EXPECT_TRUE(named || value == before.programs[p].values[i]) << p << " " << i;
            }
            EXPECT_TRUE(named || session.programs[p].name == before.programs[p].name) << p;
        }
    }
}

TEST(RackSessionText, WhatAGoodPartHoldsIsTaken)
{
    RackSession session = distinctSession(0.0f);
    const RackSession before = session;
    RackSessionText::read(header
                              + "program 5 \"Five\" # the lead\n    10 0.25 # WAH Rate\n    11 1.5\n    12 x\n"
                                "program 6 \"Six\"\n    0 1\n",
                          session);
    EXPECT_EQ(session.current, 9);
    EXPECT_EQ(session.programs[5].name, "Five");
    EXPECT_EQ(session.programs[5].values[10], 0.25f);
    EXPECT_EQ(session.programs[5].values[11], 1.0f);
    EXPECT_EQ(session.programs[5].values[12], before.programs[5].values[12]);
    EXPECT_EQ(session.programs[5].values[13], before.programs[5].values[13]);
    EXPECT_EQ(session.programs[6].name, "Six");
    EXPECT_EQ(session.programs[6].values[0], 1.0f);
}

// A text of nothing but mistakes is told in a few lines, not one per mistake.
TEST(RackSessionText, TheReportStaysShort)
{
    std::string text = header + "program 5 \"Five\"\n";
    for (int i = 0; i < 10000; ++i)
        text += "    10 oops\n";
    RackSession session = distinctSession(0.0f);
    const std::vector<std::string> report = RackSessionText::read(text, session).problems;
    EXPECT_LE(report.size(), 21u);
    EXPECT_EQ(report.back().rfind("and ", 0), 0u) << report.back();
}

} // namespace
} // namespace voltara::pluginhost
