#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace voltara::test {
namespace {

// The line info prints for one parameter, or empty when there is none.
std::string parameterLine(const std::string& out, int index)
{
    std::smatch match;
    const std::regex line("\\n *" + std::to_string(index) + "  ([^\\n]*)");
    return std::regex_search(out, match, line) ? match[1].str() : "";
}

TEST(InfoCommand, ShowsIdentityAndAllParameterNames)
{
    VoltaraRun voltara;
    const auto result = voltara({"info"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("AW Voltara FX"), std::string::npos);
    EXPECT_NE(result.out.find("KRfx"), std::string::npos);
    EXPECT_NE(result.out.find("72 parameters"), std::string::npos);
    const std::pair<int, const char*> names[] = {
        {0, "Bypass"},   {8, "WAH On"},       {20, "Fil Min F"},  {26, "PHS Rate"}, {40, "CHO On)"},
        {52, "DEL Fbk"}, {63, "REV Pre Mod"}, {69, "TRM Smooth"}, {70, "."},        {71, "."},
    };
    for (const auto& [index, name] : names)
        EXPECT_EQ(parameterLine(result.out, index).rfind(std::string(name) + " ", 0), 0u)
            << index << ": " << parameterLine(result.out, index);
    EXPECT_NE(result.out.find("32 programs"), std::string::npos);
}

TEST(InfoCommand, SetValuesReachTheirParameters)
{
    VoltaraRun voltara;
    const auto result = voltara({"info", "--set", "26=0.25", "--set", "0=1"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(parameterLine(result.out, 26).find("0.250000"), std::string::npos);
    EXPECT_NE(parameterLine(result.out, 0).find("FX OFF"), std::string::npos);
}

TEST(InfoCommand, BankProgramsLoadAsThePlugInLoadsThem)
{
    VoltaraRun voltara;
    std::ofstream(voltara.file("bank.txt")) << "program 0 \"Lead & Solo\"\n"
                                               "    0 1\n    8 0.7\n    10 0.7\n    16 0.5\n"
                                               "program 5 \"Quiet Room\"\n    56 1\n";
    ASSERT_EQ(voltara({"bank", "build", voltara.file("bank.txt"), voltara.file("bank.fxb")}).status, 0);
    const auto result = voltara({"info", "--bank", voltara.file("bank.fxb"), "--program", "quiet ROOM"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("0  \"Lead + Solo\""), std::string::npos);
    EXPECT_NE(result.out.find("5* \"Quiet Room\""), std::string::npos);
    EXPECT_NE(parameterLine(result.out, 56).find("1.000000"), std::string::npos);

    const auto first = voltara({"info", "--bank", voltara.file("bank.fxb")});
    EXPECT_NE(parameterLine(first.out, 0).find("0.000000"), std::string::npos);  // Bypass not taken
    EXPECT_NE(parameterLine(first.out, 8).find("1.000000"), std::string::npos);  // a switch: 0.7 is on
    EXPECT_NE(parameterLine(first.out, 10).find("0.700000"), std::string::npos); // a knob keeps 0.7
    EXPECT_NE(parameterLine(first.out, 16).find("0.000000"), std::string::npos); // 0.5 is off
}

} // namespace
} // namespace voltara::test
