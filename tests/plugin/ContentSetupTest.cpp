#include "platform/MessageBox.h"
#include "platform/PathSeparator.h"
#include "plugin/RackPlugin.h"
#include "tests/plugin/TestBank.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Builds the rack in a child process and answers program 0's name and the
// content-missing flag ("name|1"), or "blocked" when the build has not
// finished within ten seconds (the child is then ended).
std::string buildApart()
{
    int channel[2];
    if (pipe(channel) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        RackPlugin plugin(&refreshingHost);
        const std::string answer = plugin.program(0).name() + "|" + (plugin.contentMissing() ? "1" : "0");
        const ssize_t written = write(channel[1], answer.data(), answer.size());
        _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string answer = "blocked";
    pollfd ready{channel[0], POLLIN, 0};
    if (poll(&ready, 1, 10000) == 1) {
        char bytes[64];
        const ssize_t count = read(channel[0], bytes, sizeof bytes);
        answer = count > 0 ? std::string(bytes, static_cast<size_t>(count)) : "no answer";
    }
    close(channel[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return answer;
}

// The files read while the rack is built are taken only when they are
// regular files: a FIFO (which would wait for a writer for ever) or a link to
// a device that never ends counts as missing, and the build goes on.
TEST_F(ContentSetupTest, FilesThatAreNoRegularFilesCountAsMissingAndNeverBlock)
{
    const auto fifo = [](const std::string& path) {
        std::remove(path.c_str());
        return mkfifo(path.c_str(), 0600) == 0;
    };
    const auto deviceLink = [](const std::string& path) {
        std::remove(path.c_str());
        return symlink("/dev/zero", path.c_str()) == 0;
    };
    installStyleData();
    installBank(TestBank());
    recordInstallPath(content.path());

    ASSERT_TRUE(fifo(store.file(valueFile)));
    EXPECT_EQ(buildApart(), "default.fxb not found!|1") << "a FIFO as the Install Path value";
    ASSERT_TRUE(deviceLink(store.file(valueFile)));
    EXPECT_EQ(buildApart(), "default.fxb not found!|1") << "a link to a device as the Install Path value";

    std::remove(store.file(valueFile).c_str());
    recordInstallPath(content.path());
    ASSERT_TRUE(fifo(content.file("Players/Voltara.sty")));
    EXPECT_EQ(buildApart(), "default.fxb not found!|1") << "a FIFO as the style data";
    std::remove(content.file("Players/Voltara.sty").c_str());
    installStyleData();

    ASSERT_TRUE(fifo(content.file("Presets/Default.fxb")));
    EXPECT_EQ(buildApart(), "[nothing loaded]|0") << "a FIFO as the default bank";
    ASSERT_TRUE(deviceLink(content.file("Presets/Default.fxb")));
    EXPECT_EQ(buildApart(), "[nothing loaded]|0") << "a link to a device as the default bank";

    std::remove(content.file("Presets/Default.fxb").c_str());
    installBank(TestBank());
    EXPECT_EQ(buildApart(), "Program 0|0") << "the regular files, for comparison";
}

using InstallPathTest = ContentSetupTest;

TEST_F(InstallPathTest, AChosenFolderIsRecordedForTheNextLoad)
{
    RackPlugin& plugin = build();
    ASSERT_TRUE(plugin.contentMissing());
    installStyleData();
    installBank(TestBank());

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
    installStyleData();
    installBank(TestBank());
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

// The user may choose anything in the host's selector: only a folder that
// gives the next load its content is recorded. Anything else records nothing,
// leaves the request standing and tells the user what is missing.
TEST_F(InstallPathTest, AFolderWithoutTheContentIsNotRecordedAndTheUserHearsWhatIsMissing)
{
    const std::string style = "Players" + sep + "Voltara.sty", bank = "Presets" + sep + "Default.fxb";
    TempFolder styleOnly, bankOnly, bankIsAFolder;
    styleOnly.write("Players/Voltara.sty", "style");
    bankOnly.write("Presets/Default.fxb", "bank");
    bankIsAFolder.write("Players/Voltara.sty", "style");
    bankIsAFolder.write("Presets/Default.fxb/inside", "");
    const struct {
        std::string folder;
        std::vector<std::string> said;
    } cases[] = {
        {std::string(1023, 'x'), {"longer than 254 characters"}},
        {"/dev/zero", {style, bank}},
        {content.path(), {style, bank}},
        {styleOnly.path(), {"holds no " + bank + "."}},
        {bankOnly.path(), {"holds no " + style + "."}},
        {bankIsAFolder.path(), {"holds no " + bank + "."}},
    };
    RackPlugin& plugin = build();
    for (const auto& c : cases) {
        const size_t shown = MessageBox::history().size();
        plugin.setInstallPath(c.folder.c_str());
        EXPECT_TRUE(store.read(valueFile).empty()) << c.folder;
        EXPECT_TRUE(plugin.contentMissing()) << c.folder;
        EXPECT_EQ(plugin.program(0).name(), "default.fxb not found!") << c.folder;
        EXPECT_EQ(refreshCount, 0) << c.folder;
        ASSERT_EQ(MessageBox::history().size(), shown + 1) << c.folder;
        const MessageBox::Shown& told = MessageBox::history().back();
        EXPECT_EQ(told.caption, "Axewright Voltara Edition");
        for (const std::string& part : c.said)
            EXPECT_NE(told.text.find(part), std::string::npos) << told.text;
        EXPECT_NE(told.text.find("Nothing was recorded."), std::string::npos) << told.text;
    }
}

} // namespace
} // namespace voltara
