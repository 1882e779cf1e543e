#include "platform/RegularFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara {
namespace {

struct RegularFileTest : testing::Test {
    // What readRegularFile answers for path with room for capacity bytes, and
    // what it read.
    int64_t read(const std::string& path, int64_t capacity, std::string* bytes = nullptr, int64_t* size = nullptr)
    {
        std::string buffer(static_cast<size_t>(capacity), '\0');
        const int64_t count = readRegularFile(path.c_str(), capacity ? &buffer[0] : nullptr, capacity, size);
        if (bytes && count >= 0)
            *bytes = buffer.substr(0, static_cast<size_t>(count));
        return count;
    }

    TempFolder folder;
};

TEST_F(RegularFileTest, ReadsTheStartOfARegularFileUpToTheCapacity)
{
    folder.write("bank.fxb", "0123456789");
    std::string bytes;
    int64_t size = 0;
    EXPECT_EQ(read(folder.file("bank.fxb"), 64, &bytes, &size), 10);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(size, 10);
    EXPECT_EQ(read(folder.file("bank.fxb"), 4, &bytes, &size), 4);
    EXPECT_EQ(bytes, "0123");
    EXPECT_EQ(size, 10) << "the size is the whole file's";
    EXPECT_EQ(read(folder.file("bank.fxb"), 0), 0) << "a presence test";
    folder.write("empty", "");
    EXPECT_EQ(read(folder.file("empty"), 16), 0);
    ASSERT_EQ(symlink(folder.file("bank.fxb").c_str(), folder.file("link").c_str()), 0);
    EXPECT_EQ(read(folder.file("link"), 64, &bytes), 10) << "a link to a regular file is that file";
}

// Whatever is not a regular file counts as missing, and nothing waits: a FIFO
// without a writer, a device that never ends.
TEST_F(RegularFileTest, AnythingElseIsMissingAndNothingBlocks)
{
    ASSERT_EQ(mkfifo(folder.file("fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", folder.file("zero").c_str()), 0);
    ASSERT_EQ(mkdir(folder.file("folder").c_str(), 0700), 0);
    for (const std::string& path : {folder.file("fifo"), folder.file("zero"), folder.file("folder"),
                                    folder.file("missing"), std::string("/dev/null"), std::string("")}) {
        int64_t size = -7;
        EXPECT_EQ(read(path, 64, nullptr, &size), -1) << path;
        EXPECT_EQ(size, -7) << path;
    }
    EXPECT_EQ(readRegularFile(nullptr, nullptr, 0), -1);
    folder.write("file", "abc");
    EXPECT_EQ(readRegularFile(folder.file("file").c_str(), nullptr, 3), -1) << "no buffer for the bytes";
    EXPECT_EQ(readRegularFile(folder.file("file").c_str(), nullptr, -1), -1);
}

} // namespace
} // namespace voltara
