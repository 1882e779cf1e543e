#include "plugin/RackPlugin.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace voltara {
namespace {

const std::string contentFolder = std::string(VOLTARA_SOURCE_DIR) + "/content";
const std::string bankSource = contentFolder + "/Presets/Default.bank.txt";
const std::string bankFile = contentFolder + "/Presets/Default.fxb";

struct SourceProgram {
    std::string name;
    std::array<float, rackParameterCount> values{};
};

// The factory bank's source table, read independently of the tool that
// builds the binary bank from it.
std::array<SourceProgram, rackProgramCount> readSource()
{
    std::array<SourceProgram, rackProgramCount> programs;
    std::array<float, rackParameterCount> defaults{};
    std::array<float, rackParameterCount>* target = &defaults;
    std::istringstream lines(fileBytes(bankSource));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string first;
        if (!(words >> first) || first == "defaults")
            continue;
        if (first == "program") {
            int number = 0;
            words >> number;
            const size_t open = line.find('"');
            programs.at(number).name = line.substr(open + 1, line.rfind('"') - open - 1);
            programs.at(number).values = defaults;
            target = &programs.at(number).values;
            continue;
        }
        std::string value;
        words >> value;
        target->at(std::stoi(first)) = std::strtof(value.c_str(), nullptr);
    }
    return programs;
}

TEST(FactoryBankTest, TheShippedBankIsBuiltFromItsSource)
{
    const std::string tool = std::string(VOLTARA_BINARY_DIR) + "/voltara";
    if (!std::ifstream(tool))
        GTEST_SKIP() << "the command-line host is not built";
    TempFolder folder;
    const std::string rebuilt = folder.file("Default.fxb");

    const std::string command = "'" + tool + "' bank build '" + bankSource + "' '" + rebuilt + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    EXPECT_TRUE(fileBytes(rebuilt) == fileBytes(bankFile)) << "rebuild content/Presets/Default.fxb from its source";
}

TEST(FactoryBankTest, TheRackLoadsExactlyTheProgramsOfTheSource)
{
    TempFolder store;
    store.write("HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara/Install Path", contentFolder);
    ScopedEnvironment root("VOLTARA_REGISTRY", store.path().c_str());
    const RackPlugin rack(nullptr);
    ASSERT_FALSE(rack.contentMissing());

    const std::array<SourceProgram, rackProgramCount> source = readSource();
    for (int32_t p = 0; p < rackProgramCount; ++p) {
        EXPECT_EQ(rack.program(p).name(), source[p].name) << p;
        for (int32_t index = 0; index < rackParameterCount; ++index)
            EXPECT_EQ(rack.program(p).values[index].load(), source[p].values[index]) << source[p].name << " " << index;
    }
}

} // namespace
} // namespace voltara
