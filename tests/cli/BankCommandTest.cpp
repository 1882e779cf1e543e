#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara::test {
namespace {

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct BankCommand : ::testing::Test {
    // Builds text into a bank file; the command's result.
    VoltaraRun::Result build(const std::string& text, const std::string& bank)
    {
        std::ofstream(voltara.file("source.txt")) << text;
        return voltara({"bank", "build", voltara.file("source.txt"), bank});
    }

    VoltaraRun voltara;
};

TEST_F(BankCommand, DumpAndBuildGiveTheSameBankBack)
{
    std::ofstream(voltara.file("factory.txt")) << bytesOf(VOLTARA_SOURCE_DIR "/content/Presets/Default.bank.txt");
    const std::string sources[] = {
        bytesOf(voltara.file("factory.txt")),
        "defaults\n  10 0.5\n  11 0.123456789\n"
        "program 31 \"Say \"hi\" # & 23 chars!!\"  \n  0 1\n  3 1e-7\n  71 0.333\n"
        "program 2 \" \"\n",
    };
    for (const std::string& source : sources) {
        const std::string first = voltara.file("first.fxb");
        const std::string second = voltara.file("second.fxb");
        ASSERT_EQ(build(source, first).status, 0);
        const auto dump = voltara({"bank", "dump", first});
        ASSERT_EQ(dump.status, 0) << dump.err;
        const auto rebuilt = build(dump.out, second);
        ASSERT_EQ(rebuilt.status, 0) << rebuilt.err;
        EXPECT_EQ(bytesOf(first), bytesOf(second));
    }
}

TEST_F(BankCommand, BankFileHasTheLayoutThePlugInReads)
{
    const std::string bank = voltara.file("bank.fxb");
    ASSERT_EQ(build("program 1 \"Two\"\n  8 1\n  71 0.5\n", bank).status, 0);
    const std::string bytes = bytesOf(bank);
    ASSERT_EQ(bytes.size(), 156u + 32u * 344u);
    EXPECT_EQ(bytes.substr(16, 4), "KRfx");
    const std::size_t block = 156 + 344;
    EXPECT_EQ(bytes.substr(block + 28, 4), std::string("Two\0", 4));
    EXPECT_EQ(bytes.substr(block + 88, 4), std::string("\x3f\x80\x00\x00", 4));  // index 8: 1.0
    EXPECT_EQ(bytes.substr(block + 340, 4), std::string("\x3f\x00\x00\x00", 4)); // index 71: 0.5
}

TEST_F(BankCommand, MistakesInTheSourceNameTheirLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"  8 1\n", ":1: values must follow"},
        {"program 32 \"x\"\n", ":1: program number"},
        {"program 1 \"a\"\nprogram 1 \"b\"\n", ":2: program 1 is listed twice"},
        {"program 1 x\n", ":1: expected: program NUMBER"},
        {"program 1 \"123456789012345678901234\"\n", "longer than 23"},
        {"program 1 \"a\"\n\n  72 0.5\n", ":3: expected: INDEX VALUE"},
        {"program 1 \"a\"\n  8 1.5\n", ":2: expected: INDEX VALUE"},
        {"program 1 \"a\"\n  8 nan\n", ":2: expected: INDEX VALUE"},
        {"program 1 \"a\"\n  8 1\n  8 0\n", ":3: index 8 is set twice"},
        {"program 1 \"a\"\ndefaults\n", ":2: the defaults block"},
    };
    const std::string bank = voltara.file("bank.fxb");
    for (const auto& [text, message] : cases) {
        const auto result = build(text, bank);
        EXPECT_NE(result.status, 0) << text;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_NE(access(bank.c_str(), F_OK), 0) << text;
    }
}

TEST_F(BankCommand, DumpRefusesWhatIsNotABank)
{
    std::string wrongId(156 + 32 * 344, '\0');
    wrongId.replace(16, 4, "KRfy");
    const std::pair<std::string, const char*> cases[] = {
        {std::string(100, '\0'), "not a bank file"},
        {wrongId, "not a bank of this plug-in"},
    };
    for (const auto& [bytes, message] : cases) {
        std::ofstream(voltara.file("odd.fxb"), std::ios::binary) << bytes;
        const auto result = voltara({"bank", "dump", voltara.file("odd.fxb")});
        EXPECT_NE(result.status, 0);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

// Bank files and bank texts are read only from regular files, up to 1 MB:
// /dev/zero once took 1 GB and ended in bad_alloc, a FIFO blocked, a folder
// read as an empty text.
TEST_F(BankCommand, InputsThatAreNoFilesAreRefused)
{
    mkdir(voltara.file("folder").c_str(), 0755);
    ASSERT_EQ(mkfifo(voltara.file("fifo").c_str(), 0644), 0);
    std::ofstream(voltara.file("huge.txt")) << std::string(2 << 20, '#');
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"bank", "build", "/dev/zero", voltara.file("out.fxb")}, "/dev/zero: not a regular file"},
        {{"bank", "build", voltara.file("folder"), voltara.file("out.fxb")}, "folder: it is a folder"},
        {{"bank", "build", voltara.file("huge.txt"), voltara.file("out.fxb")}, "larger than 1048576 bytes"},
        {{"bank", "dump", "/dev/zero"}, "/dev/zero: not a regular file"},
        {{"bank", "dump", voltara.file("folder")}, "folder: it is a folder"},
        {{"info", "--bank", "/dev/zero"}, "/dev/zero: not a regular file"},
        {{"info", "--bank", voltara.file("fifo")}, "fifo: not a regular file"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto result = voltara(arguments);
        EXPECT_EQ(result.status, 1) << arguments[1] << " " << arguments[2];
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(access(voltara.file("out.fxb").c_str(), F_OK), -1);
    }
}

} // namespace
} // namespace voltara::test
