#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace voltara {
namespace {

using test::TestHost;

struct Parameters : ::testing::Test {
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    std::string name(int32_t index) { return host.text(opGetParameterName, index); }
    std::string display(int32_t index) { return host.text(opGetParameterText, index); }
    void program(int32_t p) { host.dispatch(opSetProgram, 0, p); }
    TestHost host;
};

TEST_F(Parameters, Names)
{
    const struct {
        int32_t index;
        const char* name;
    } table[] = {
        {0, "Bypass"}, {8, "WAH On"}, {20, "Fil Min F"}, {40, "CHO On)"}, {63, "REV Pre Mod"}, {69, "TRM Smooth"},
        {70, "."},     {71, "."},     {5, "."},          {72, "."},       {-1, "."},           {1000, "."},
    };
    for (const auto& row : table)
        EXPECT_EQ(name(row.index), row.name) << row.index;
    int32_t named = 0;
    for (int32_t i = 0; i < 72; ++i)
        named += name(i) != ".";
    EXPECT_EQ(named, 50);
}

TEST_F(Parameters, BypassAndPlaceholderTexts)
{
    host.setParameter(0, 0.5f);
    EXPECT_EQ(display(0), "FX ON");
    host.setParameter(0, 0.51f);
    EXPECT_EQ(display(0), "FX OFF");
    EXPECT_EQ(display(3), "");
    EXPECT_EQ(display(72), "");
    EXPECT_EQ(display(-4), "");
}

TEST_F(Parameters, InitialValuesOfTheGuitarToneGroup)
{
    const float expected[8] = {0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.25f, 0.95f};
    for (int32_t p : {0, 17, 31}) {
        program(p);
        for (int32_t i = 0; i < 8; ++i)
            EXPECT_EQ(host.getParameter(i), expected[i]) << "program " << p << " index " << i;
    }
}

TEST_F(Parameters, BypassIsSharedByAllProgramsOtherValuesAreNot)
{
    program(5);
    host.setParameter(0, 1.0f);
    host.setParameter(9, 0.3f);
    host.setParameter(5, 0.77f);
    EXPECT_EQ(host.getParameter(5), 0.77f);
    program(2);
    EXPECT_EQ(host.getParameter(0), 1.0f);
    EXPECT_NE(host.getParameter(9), 0.3f);
    EXPECT_NE(host.getParameter(5), 0.77f);
    program(5);
    EXPECT_EQ(host.getParameter(9), 0.3f);
    EXPECT_EQ(host.getParameter(5), 0.77f);
}

TEST_F(Parameters, OutOfRangeIndicesStoreAndAnswerNothing)
{
    host.setParameter(-1, 0.9f);
    host.setParameter(72, 0.9f);
    host.setParameter(1 << 30, 0.9f);
    EXPECT_EQ(host.getParameter(-1), 0.0f);
    EXPECT_EQ(host.getParameter(72), 0.0f);
    for (int32_t i = 0; i < 72; ++i)
        EXPECT_NE(host.getParameter(i), 0.9f) << i;
}

TEST_F(Parameters, NonFiniteValuesAreIgnoredOthersStoredWithinZeroToOne)
{
    host.setParameter(10, 0.25f);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        host.setParameter(10, bad);
        EXPECT_EQ(host.getParameter(10), 0.25f);
    }
    const struct {
        int32_t index;
        float value;
        float stored;
    } table[] = {
        {10, 1.5f, 1.0f},     {10, -0.25f, 0.0f},   {60, 1e30f, 1.0f}, {53, -1e30f, 0.0f},
        {0, 7.0f, 1.0f},      {5, -3.0f, 0.0f},     {21, -0.1f, 0.0f}, {18, 1.0000001f, 1.0f},
        {27, 0.999f, 0.999f}, {35, 1e-30f, 1e-30f}, {12, -0.0f, 0.0f},
    };
    for (const auto& row : table) {
        program(3);
        host.setParameter(row.index, row.value);
        EXPECT_EQ(host.getParameter(row.index), row.stored) << row.index << " " << row.value;
        // The program keeps the limited value too.
        program(4);
        program(3);
        EXPECT_EQ(host.getParameter(row.index), row.stored) << row.index << " " << row.value;
    }
}

TEST_F(Parameters, SwitchControllers)
{
    host.setParameter(64, 0.7f);
    host.sendMidi(0xb0, 92, 0);
    EXPECT_EQ(host.getParameter(64), 0.7f);
    host.sendMidi(0xb3, 92, 10);
    EXPECT_EQ(host.getParameter(64), 0.0f);
    host.sendMidi(0xb0, 92, 100);
    EXPECT_EQ(host.getParameter(64), 99 * 0.0079366f);
    host.sendMidi(0xb0, 92, 64);
    EXPECT_GT(host.getParameter(64), 0.5f);
    // 126 x 0.0079366 is just above 1: stored and reported to the host as 1.
    host.calls.clear();
    host.sendMidi(0xb0, 92, 127);
    EXPECT_EQ(host.getParameter(64), 1.0f);
    ASSERT_EQ(host.countCalls(hostAutomate), 1);
    EXPECT_EQ(host.calls.back().opt, 1.0f);
}

// A data byte with its top bit set is taken as its seven low bits.
TEST_F(Parameters, MidiDataBytesCarrySevenBits)
{
    host.sendMidi(0xb0, 1, 214);
    EXPECT_EQ(host.getParameter(12), 86 * 0.007874f);
    host.sendMidi(0xb0, 0x80 | 92, 100);
    EXPECT_EQ(host.getParameter(64), 99 * 0.0079366f);
    host.sendMidi(0xb0, 89, 100);
    host.sendMidi(0xb0, 89, 0x80);
    EXPECT_EQ(host.getParameter(54), 99 * 0.0079366f) << "data 0 leaves the value alone";
    host.sendMidi(0xc0, 0x80 | 7, 0);
    EXPECT_EQ(host.dispatch(opGetProgram), 7);
    for (int32_t i = 0; i < 72; ++i) {
        EXPECT_GE(host.getParameter(i), 0.0f) << i;
        EXPECT_LE(host.getParameter(i), 1.0f) << i;
    }
}

TEST_F(Parameters, ControllerTableAndAutomation)
{
    const struct {
        uint8_t controller;
        int32_t index;
        float value; // for data byte 100
    } table[] = {
        {1, 12, 100 * 0.007874f},  {4, 12, 100 * 0.007874f},  {85, 0, 99 * 0.0079366f},  {86, 8, 99 * 0.0079366f},
        {87, 16, 99 * 0.0079366f}, {88, 48, 99 * 0.0079366f}, {89, 54, 99 * 0.0079366f}, {90, 56, 99 * 0.0079366f},
        {91, 59, 99 * 0.0079366f}, {92, 64, 99 * 0.0079366f}, {93, 40, 99 * 0.0079366f}, {94, 32, 99 * 0.0079366f},
        {95, 24, 99 * 0.0079366f},
    };
    for (const auto& row : table) {
        host.calls.clear();
        host.sendMidi(0xb0, row.controller, 100);
        EXPECT_EQ(host.getParameter(row.index), row.value) << int(row.controller);
        ASSERT_EQ(host.countCalls(hostAutomate), 1) << int(row.controller);
        EXPECT_EQ(host.calls.back().index, row.index);
        EXPECT_EQ(host.calls.back().opt, row.value);
    }
    // Continuous controllers take low values as they are.
    host.sendMidi(0xb0, 89, 10);
    EXPECT_EQ(host.getParameter(54), 9 * 0.0079366f);
    host.sendMidi(0xb0, 1, 127);
    EXPECT_FLOAT_EQ(host.getParameter(12), 0.999998f);
    host.calls.clear();
    host.sendMidi(0xb0, 7, 100);
    host.sendMidi(0xb0, 84, 100);
    host.sendMidi(0xb0, 96, 100);
    EXPECT_EQ(host.countCalls(hostAutomate), 0);
}

TEST_F(Parameters, ProgramChange)
{
    host.calls.clear();
    host.sendMidi(0xc0, 40, 0);
    EXPECT_EQ(host.dispatch(opGetProgram), 0);
    EXPECT_EQ(host.countCalls(hostRefresh), 0);
    host.sendMidi(0xc5, 3, 0);
    EXPECT_EQ(host.dispatch(opGetProgram), 3);
    EXPECT_EQ(host.countCalls(hostRefresh), 1);
}

// Hosts hand over lists longer than the two pointers the record declares.
TEST_F(Parameters, EveryEventOfALongListIsHandled)
{
    const uint8_t controllers[] = {86, 87, 88, 90, 92, 93, 94, 95};
    MidiEvent events[8] = {};
    struct {
        int32_t count = 8;
        int32_t reserved = 0;
        MidiEvent* pointers[8];
    } list;
    for (int32_t i = 0; i < 8; ++i) {
        events[i].type = midiEventType;
        events[i].data[0] = 0xb0;
        events[i].data[1] = controllers[i];
        events[i].data[2] = 127;
        list.pointers[i] = &events[i];
    }
    host.dispatch(opHandleEvents, 0, 0, &list);
    for (const int32_t index : {8, 16, 48, 56, 64, 40, 32, 24})
        EXPECT_EQ(host.getParameter(index), 1.0f) << index;
}

TEST_F(Parameters, NoteOnWithVelocityZeroBecomesNoteOff)
{
    MidiEvent noteOn{};
    noteOn.type = midiEventType;
    noteOn.data[0] = 0x93;
    noteOn.data[1] = 60;
    MidiEvent loud = noteOn;
    loud.data[2] = 90;
    MidiEvent other = noteOn;
    other.type = 6;
    MidiEventList list{};
    list.count = 2;
    list.events[0] = &noteOn;
    list.events[1] = &loud;
    EXPECT_EQ(host.dispatch(opHandleEvents, 0, 0, &list), 1);
    EXPECT_EQ(noteOn.data[0], 0x83);
    EXPECT_EQ(loud.data[0], 0x93);
    list.count = 1;
    list.events[0] = &other;
    host.dispatch(opHandleEvents, 0, 0, &list);
    EXPECT_EQ(other.data[0], 0x93);
}

} // namespace
} // namespace voltara
