#include "plugin/ContentFolder.h"
#include "platform/MessageBox.h"
#include "platform/PathSeparator.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace voltara {
namespace {

const std::string sep(1, pathSeparator);
const char* const valueFile = "HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara/Install Path";

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

class ContentFolderStoreTest : public testing::Test {
protected:
    std::string storedValue() const
    {
        std::ifstream in(store.file(valueFile), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    TempFolder store;
    TempFolder content;
    ScopedEnvironment root{"VOLTARA_REGISTRY", store.path().c_str()};
};

TEST_F(ContentFolderStoreTest, TheRegistryNamesTheFolder)
{
    EXPECT_FALSE(ContentFolder::fromRegistry().isFound());

    store.write(valueFile, content.path() + "\r\n");
    EXPECT_EQ(ContentFolder::fromRegistry().path(), content.path() + sep);
}

TEST_F(ContentFolderStoreTest, InstalledContentHasTheStyleData)
{
    const ContentFolder folder(content.path());
    EXPECT_FALSE(folder.hasStyleData());
    content.write("Players/Voltara.sty", "");
    EXPECT_TRUE(folder.hasStyleData());
    EXPECT_FALSE(ContentFolder("").hasStyleData());
}

TEST_F(ContentFolderStoreTest, StoringTheFolderAsksForAReload)
{
    EXPECT_TRUE(ContentFolder::storeInstallPath("/chosen/folder"));

    EXPECT_EQ(storedValue(), std::string("/chosen/folder", 15));
    ASSERT_FALSE(MessageBox::history().empty());
    EXPECT_EQ(MessageBox::history().back().text, "Please reload the plug-in");
    EXPECT_EQ(MessageBox::history().back().caption, "Axewright Voltara Edition");
}

TEST_F(ContentFolderStoreTest, AStoreThatCannotBeWrittenAsksForAReinstall)
{
    store.write("occupied", "");
    ScopedEnvironment blocked("VOLTARA_REGISTRY", store.file("occupied").c_str());

    EXPECT_FALSE(ContentFolder::storeInstallPath("/chosen/folder"));

    ASSERT_FALSE(MessageBox::history().empty());
    EXPECT_EQ(MessageBox::history().back().text, "Please reinstall the plug-in");
    EXPECT_EQ(MessageBox::history().back().caption, "Axewright Voltara Edition");
}

} // namespace
} // namespace voltara
