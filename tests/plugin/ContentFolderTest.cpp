#include "plugin/ContentFolder.h"
#include "platform/PathSeparator.h"

#include <gtest/gtest.h>

namespace voltara {
namespace {

const std::string sep(1, pathSeparator);

TEST(ContentFolderTest, TheRecordedValueBecomesAFolderEndingInTheSeparator)
{
    struct Case {
        std::string value;
        std::string folder; // empty: not found
    };
    const Case cases[] = {
        {"D:" + sep + "Content  ", "D:" + sep + "Content" + sep},
        {"D:" + sep + "Content" + sep, "D:" + sep + "Content" + sep},
        {"D:" + sep + "Content\r\nE:" + sep + "Other", "D:" + sep + "Content" + sep},
        {"D:" + sep + "Content\nmore", "D:" + sep + "Content" + sep},
        {std::string("Content\0tail", 12), "Content" + sep},
        {"Content \r ", "Content" + sep},
        {sep, sep},
        {"", ""},
        {"   ", ""},
        {"\r\nContent", ""},
        {std::string(254, 'c'), std::string(254, 'c') + sep},
        {std::string(255, 'c'), ""},
    };
    for (const Case& c : cases) {
        const ContentFolder folder(c.value);
        EXPECT_EQ(folder.isFound(), !c.folder.empty()) << c.value;
        EXPECT_EQ(folder.path(), c.folder) << c.value;
    }
}

TEST(ContentFolderTest, ContentFilesLieInTheirSubfolders)
{
    const ContentFolder folder("base");
    EXPECT_EQ(folder.defaultBankPath(), "base" + sep + "Presets" + sep + "Default.fxb");
}

} // namespace
} // namespace voltara
