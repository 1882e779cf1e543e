#include "platform/MessageBox.h"
#include "platform/PathSeparator.h"
#include "plugin/RackPlugin.h"
#include "tests/plugin/TestBank.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace voltara {
namespace {

const std::string sep(1, pathSeparator);
const char* const keyFolder = "HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara";
const std::string valueFile = std::string(keyFolder) + "/Install Path";

int refreshCount = 0;

intptr_t refreshingHost(PluginDescriptor*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == hostRefresh)
        ++refreshCount;
    return opcode == hostVersion ? 1 : 0;
}

// A registry store and a content folder of the test's own; the rack is built
// once the test has laid them out.
struct ContentSetupTest : testing::Test {
    void installStyleData() const { content.write("Players/Voltara.sty", "style"); }
    void recordInstallPath(const std::string& value) const { store.write(valueFile, value); }
    void installBank(const TestBank& bank) const
    {
        content.write("Presets/Default.fxb", std::string(bank.bytes().begin(), bank.bytes().end()));
    }
    RackPlugin& build()
    {
        rack = std::make_unique<RackPlugin>(&refreshingHost);
        refreshCount = 0;
        return *rack;
    }

    TempFolder store;
    TempFolder content;
    ScopedEnvironment root{"VOLTARA_REGISTRY", store.path().c_str()};
    std::unique_ptr<RackPlugin> rack;
};

TEST_F(ContentSetupTest, WithoutInstalledContentTheRackSaysSoAndAsksForTheFolder)
{
    struct Case {
        const char* situation;
        bool key;
        bool value;
        bool styleData;
    };
    const Case cases[] = {
        {"no key", false, false, true},
        {"no Install Path", true, false, true},
        {"no style data", true, true, false},
    };
    for (const Case& c : cases) {
        TempFolder caseStore;
        ScopedEnvironment caseRoot("VOLTARA_REGISTRY", caseStore.path().c_str());
        if (c.key)
            caseStore.write(std::string(keyFolder) + "/Other", "x");
        if (c.value)
            caseStore.write(valueFile, content.path());
        TempFolder caseContent;
        if (c.styleData)
            caseContent.write("Players/Voltara.sty", "");

        RackPlugin& plugin = build();
        EXPECT_TRUE(plugin.contentMissing()) << c.situation;
        EXPECT_EQ(plugin.program(0).name(), "default.fxb not found!") << c.situation;
        EXPECT_EQ(plugin.program(1).name(), " ") << c.situation;
    }
}

TEST_F(ContentSetupTest, InstalledContentWithoutABankLeavesNothingLoaded)
{
    installStyleData();
    const std::string values[] = {content.path() + "  ", content.path() + "\r\nmore", content.path() + sep};
    for (const std::string& value : values) {
        if (&value == &values[2]) // last: a bank of another plug-in
            installBank(TestBank("KRfy"));
        recordInstallPath(value);
        RackPlugin& plugin = build();

        EXPECT_FALSE(plugin.contentMissing()) << value;
        EXPECT_EQ(plugin.contentFolder(), content.path() + sep) << value;
        EXPECT_EQ(plugin.lastBankPath(), content.path() + sep + "Presets" + sep + "Default.fxb");
        EXPECT_EQ(plugin.program(0).name(), "[nothing loaded]");
        for (int32_t p = 1; p < rackProgramCount; ++p)
            ASSERT_EQ(plugin.program(p).name(), " ") << p;
    }
}

TEST_F(ContentSetupTest, InstalledContentLoadsTheDefaultBank)
{
    installStyleData();
    TestBank bank;
    bank.setName(0, "Factory zero");
    installBank(bank);
    recordInstallPath(content.path());

    RackPlugin& plugin = build();

    EXPECT_FALSE(plugin.contentMissing());
    EXPECT_EQ(plugin.program(0).name(), "Factory zero");
    EXPECT_EQ(plugin.program(5).name(), "Program 5");
    EXPECT_EQ(plugin.getParameter(40), 0.0f);
    EXPECT_EQ(plugin.getParameter(42), 0.25f);
}

using InstallPathTest = ContentSetupTest;

TEST_F(InstallPathTest, AChosenFolderIsRecordedForTheNextLoad)
{
    RackPlugin& plugin = build();
    ASSERT_TRUE(plugin.contentMissing());

    plugin.setInstallPath(content.path().c_str());

    EXPECT_EQ(store.read(valueFile), content.path() + '\0');
    EXPECT_EQ(MessageBox::history().back().text, "Please reload the plug-in");
    EXPECT_EQ(MessageBox::history().back().caption, "Axewright Voltara Edition");
    EXPECT_FALSE(plugin.contentMissing());
    EXPECT_EQ(plugin.program(0).name(), "Please reload plug-in");
    EXPECT_EQ(refreshCount, 1);
    EXPECT_TRUE(plugin.contentFolder()[0] == '\0') << "takes effect only when loaded again";
}

TEST_F(InstallPathTest, AStoreThatCannotBeWrittenStillClearsTheRequest)
{
    RackPlugin& plugin = build();
    store.write("occupied", "");
    ScopedEnvironment blocked("VOLTARA_REGISTRY", store.file("occupied").c_str());

    plugin.setInstallPath(content.path().c_str());

    EXPECT_EQ(MessageBox::history().back().text, "Please reinstall the plug-in");
    EXPECT_EQ(MessageBox::history().back().caption, "Axewright Voltara Edition");
    EXPECT_FALSE(plugin.contentMissing());
    EXPECT_EQ(plugin.program(0).name(), "Please reload plug-in");
    EXPECT_EQ(refreshCount, 1);
}

TEST_F(InstallPathTest, NoFolderChangesNothing)
{
    RackPlugin& plugin = build();
    const size_t shown = MessageBox::history().size();

    plugin.setInstallPath(nullptr);
    plugin.setInstallPath("");

    EXPECT_TRUE(plugin.contentMissing());
    EXPECT_EQ(plugin.program(0).name(), "default.fxb not found!");
    EXPECT_EQ(MessageBox::history().size(), shown);
}

} // namespace
} // namespace voltara
