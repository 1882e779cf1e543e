#include "plugin/host/NumberText.h"

#include <gtest/gtest.h>

#include <string>

namespace voltara {
namespace {

std::string integer(int32_t value)
{
    char text[16];
    NumberText::integerText(value, text);
    return text;
}

std::string real(float value)
{
    char text[16];
    NumberText::realText(value, text);
    return text;
}

TEST(NumberText, Integer)
{
    const struct {
        int32_t value;
        const char* text;
    } table[] = {
        {5, "      5"},          {99999999, "99999999"}, {100000000, " Huge!  "},
        {-12345678, "-1234567"}, {-5, "     -5"},        {0, "      0"},
    };
    for (const auto& row : table)
        EXPECT_EQ(integer(row.value), row.text) << row.value;
}

TEST(NumberText, Real)
{
    const struct {
        float value;
        const char* text;
    } table[] = {
        {1.5f, "1.500000"},
        {-1.5f, "-1.50000"},
        {123.25f, "123.2500"},
        {0.0f, "0.000000"},
        {1234567.0f, "1234567."},
        {-10000000.0f, " Huge!  "},
        {1.0e9f, " Huge!  "},
        {-123456.0f, "-123456."},
        // Eight integer digits fill the field: no point, and no digit lost.
        {12345678.0f, "12345678"},
        {-1234567.0f, "-1234567"},
    };
    for (const auto& row : table)
        EXPECT_EQ(real(row.value), row.text) << row.value;
}

TEST(NumberText, DecibelsHertzMilliseconds)
{
    char text[16];
    NumberText::decibelText(0.0f, text);
    EXPECT_STREQ(text, "  -oo   ");
    NumberText::decibelText(1.0f, text);
    EXPECT_STREQ(text, "0.000000");
    NumberText::decibelText(10.0f, text);
    EXPECT_STREQ(text, "20.00000");
    NumberText::hertzText(0.0f, 44100.0f, text);
    EXPECT_STREQ(text, "0.000000");
    NumberText::hertzText(441.0f, 44100.0f, text);
    EXPECT_STREQ(text, "100.0000");
    NumberText::millisecondsText(441.0f, 44100.0f, text);
    EXPECT_STREQ(text, "10.00000");
}

} // namespace
} // namespace voltara
