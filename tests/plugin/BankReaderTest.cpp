#include "plugin/BankReader.h"
#include "tests/plugin/TestBank.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

namespace voltara {
namespace {

const uint8_t* block(const TestBank& bank, int program)
{
    return &bank.bytes()[156 + 344 * program];
}

TEST(BankReaderTest, AcceptsOnlyIdentifiersWithTheRackChecksum)
{
    struct Case {
        const char identifier[4];
        bool accepted;
    };
    const Case cases[] = {
        {{'K', 'R', 'f', 'x'}, true},     {{'K', 'R', 'f', 'y'}, false},
        {{'\0', '-', '3', '4'}, true}, // 45 + 100 x 103 = 10345
        {{'R', 'K', 'x', 'f'}, true},  // the checksum cannot tell the order
        {{'\xff', 'R', 'f', 'x'}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BankFormat::isOurIdentifier(reinterpret_cast<const uint8_t*>(c.identifier)), c.accepted)
            << std::string(c.identifier, 4);
    }
}

TEST(BankReaderTest, NamesTurnAmpersandsIntoPlusAndAreCutTo23Characters)
{
    struct Case {
        std::string stored;
        const char* name;
    };
    const Case cases[] = {
        {"Lead & Solo", "Lead + Solo"},
        {"&&", "++"},
        {"Exactly twenty-three ch", "Exactly twenty-three ch"},
        {"No terminator in 28 bytes!!", "No terminator in 28 byt"},
        {"", ""},
    };
    for (const Case& c : cases) {
        TestBank bank;
        bank.setName(0, c.stored);
        ProgramRecord program;
        BankReader::decodeProgram(block(bank, 0), program);
        EXPECT_EQ(program.name(), c.name);
    }
}

TEST(BankReaderTest, SwitchesAreRoundedAndOtherValuesLimitedToZeroToOne)
{
    struct Case {
        int index;
        float stored;
        float loaded;
    };
    const Case cases[] = {
        {8, 0.7f, 1.0f},   // WAH On
        {8, 0.5f, 0.0f},   // exactly half is off
        {10, 0.7f, 0.7f},  // WAH Rate
        {19, 0.51f, 1.0f}, // FIL Mode
        {41, 0.3f, 0.0f},  // CHO Mode
        {65, 2.0f, 1.0f},  // TRM Sync
        {54, 1.5f, 1.0f},  // every value is limited to 0 .. 1
        {60, 1e30f, 1.0f},
        {53, -0.1f, 0.0f},
        {21, -1e30f, 0.0f},
        {71, 0.125f, 0.125f},
        {10, std::numeric_limits<float>::quiet_NaN(), 0.0f},
        {50, std::numeric_limits<float>::infinity(), 0.0f},
        {48, std::numeric_limits<float>::infinity(), 0.0f},
    };
    for (const Case& c : cases) {
        TestBank bank;
        bank.setValue(3, c.index, c.stored);
        ProgramRecord program;
        BankReader::decodeProgram(block(bank, 3), program);
        EXPECT_EQ(program.values[c.index].load(), c.loaded) << "index " << c.index << " stored " << c.stored;
    }
}

TEST(BankReaderTest, TheSwitchesRoundedOnLoadAreTheOnSyncAndModeSwitches)
{
    const std::set<int32_t> switches = {8, 9, 16, 19, 24, 25, 32, 33, 40, 41, 48, 49, 56, 64, 65};
    for (int32_t index = 0; index < rackParameterCount; ++index)
        EXPECT_EQ(BankFormat::roundsToSwitch(index), switches.count(index) == 1) << index;
}

TEST(BankReaderTest, BypassAndTheToneGroupAreNotTakenFromTheBank)
{
    TestBank bank;
    for (int index = 0; index < 8; ++index)
        bank.setValue(0, index, 1.0f);
    ProgramRecord program;
    for (int index = 0; index < 8; ++index)
        program.values[index] = 0.5f;
    BankReader::decodeProgram(block(bank, 0), program);
    for (int index = 0; index < 8; ++index)
        EXPECT_EQ(program.values[index].load(), 0.0f) << index;
}

struct BankReaderFileTest : testing::Test {
    int32_t read(const TestBank& bank, size_t size = SIZE_MAX)
    {
        bank.save(folder.file("bank.fxb"), size);
        return BankReader::read(folder.file("bank.fxb").c_str(), buffer);
    }

    TempFolder folder;
    uint8_t buffer[BankReader::bufferSize] = {};
};

TEST_F(BankReaderFileTest, ReadsEveryWholeProgramBlock)
{
    struct Case {
        size_t fileSize;
        int32_t blocks;
    };
    const Case cases[] = {
        {156 + 32 * 344, 32},
        {156 + 32 * 344 + 100, 32}, // trailing bytes are not read
        {156 + 2 * 344 + 200, 2},
        {156 + 343, 0},
        {156, 0},
        {100, 0},
        {0, 0},
    };
    for (const Case& c : cases) {
        TestBank bank;
        EXPECT_EQ(read(bank, c.fileSize), c.blocks) << c.fileSize << " bytes";
    }
    TestBank bank;
    read(bank);
    EXPECT_EQ(std::memcmp(buffer, block(bank, 0), BankReader::bufferSize), 0);
}

TEST_F(BankReaderFileTest, AFileOfAnotherPlugInOrNoFileReadsNothing)
{
    std::memset(buffer, 0x5a, sizeof buffer);
    EXPECT_EQ(read(TestBank("KRfy")), 0);
    EXPECT_EQ(BankReader::read(folder.file("missing.fxb").c_str(), buffer), 0);
    EXPECT_EQ(BankReader::read(nullptr, buffer), 0);
    for (const uint8_t byte : buffer)
        ASSERT_EQ(byte, 0x5a);
}

} // namespace
} // namespace voltara
