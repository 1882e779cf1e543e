#include "plugin/RackPlugin.h"
#include "tests/plugin/TestBank.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace voltara {
namespace {

int refreshCount = 0;

intptr_t refreshingHost(PluginDescriptor*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == hostRefresh)
        ++refreshCount;
    return opcode == hostVersion || opcode == hostRefresh ? 1 : 0;
}

// A rack without installed content, so that it starts from the module
// defaults, and a bank file to load into it.
struct ProgramBankTest : testing::Test {
    void SetUp() override
    {
        rack.setProgram(2);
        rack.setProgramName(const_cast<char*>("Mine"));
        rack.setParameter(10, 0.9f);
        refreshCount = 0;
    }

    int32_t load(const TestBank& bank, size_t size = SIZE_MAX)
    {
        bank.save(bankPath, size);
        return rack.loadBankFile(bankPath.c_str());
    }

    TempFolder folder;
    ScopedEnvironment emptyStore{"VOLTARA_REGISTRY", folder.file("registry").c_str()};
    const std::string bankPath = folder.file("bank.fxb");
    RackPlugin rack{&refreshingHost};
};

TEST_F(ProgramBankTest, ABankReplacesEveryProgramAndTheCurrentValues)
{
    TestBank bank;
    bank.setName(2, "Lead & Solo");
    bank.setValue(2, 8, 0.7f);
    bank.setValue(2, 10, 0.7f);
    bank.setValue(2, 0, 1.0f);
    rack.setParameter(0, 1.0f);

    EXPECT_EQ(load(bank), 1);

    EXPECT_EQ(refreshCount, 1);
    EXPECT_EQ(rack.getProgram(), 2);
    EXPECT_EQ(rack.program(2).name(), "Lead + Solo");
    EXPECT_EQ(rack.program(31).name(), "Program 31");
    EXPECT_EQ(rack.getParameter(8), 1.0f);
    EXPECT_EQ(rack.getParameter(10), 0.7f);
    EXPECT_EQ(rack.module(slotWah)->getParameter(2), 0.7f);
    EXPECT_EQ(rack.getParameter(0), 0.0f) << "the chain runs after every load";
    for (int32_t p = 0; p < rackProgramCount; ++p) {
        for (int32_t index = 0; index < 8; ++index)
            ASSERT_EQ(rack.program(p).values[index].load(), 0.0f) << p << " " << index;
        EXPECT_EQ(rack.program(p).values[71].load(), 0.25f);
    }
    EXPECT_STREQ(rack.lastBankPath(), bankPath.c_str());
}

TEST_F(ProgramBankTest, AFileThatIsNotOurBankChangesNothing)
{
    const ProgramRecord before = rack.program(2);

    EXPECT_EQ(load(TestBank("KRfy")), 0);
    EXPECT_EQ(rack.loadBankFile(folder.file("missing.fxb").c_str()), 0);
    EXPECT_EQ(load(TestBank(), 156 + 343), 0) << "no whole program";

    EXPECT_EQ(refreshCount, 0);
    EXPECT_EQ(rack.program(2).name(), "Mine");
    EXPECT_EQ(rack.program(2).values[10].load(), 0.9f);
    EXPECT_EQ(rack.getParameter(10), 0.9f);
    EXPECT_EQ(std::memcmp(&before, &rack.program(2), sizeof before), 0);
    EXPECT_STREQ(rack.lastBankPath(), "");
}

TEST_F(ProgramBankTest, AShortBankLoadsItsWholeProgramsOnly)
{
    TestBank first;
    first.setName(2, "First bank");
    load(first);
    TestBank second;
    second.setName(1, "Second bank");

    EXPECT_EQ(load(second, 156 + 2 * 344 + 100), 1);

    EXPECT_EQ(rack.program(1).name(), "Second bank");
    EXPECT_EQ(rack.program(2).name(), "First bank") << "the partial third block is not mixed in";
}

TEST_F(ProgramBankTest, CopyingAProgramKeepsTheCurrentOne)
{
    EXPECT_TRUE(rack.copyProgram(31));
    EXPECT_EQ(rack.getProgram(), 2);
    EXPECT_EQ(std::memcmp(&rack.program(31), &rack.program(2), sizeof(ProgramRecord)), 0);
    EXPECT_EQ(rack.program(31).name(), "Mine");

    for (const int32_t outside : {32, -1}) {
        char name[programNameSize] = "untouched";
        EXPECT_FALSE(rack.copyProgram(outside)) << outside;
        EXPECT_FALSE(rack.getProgramNameAt(0, outside, name)) << outside;
        EXPECT_STREQ(name, "untouched");
    }
}

} // namespace
} // namespace voltara
