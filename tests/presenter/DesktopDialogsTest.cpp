#include "tests/presenter/LiveTestKit.h"

#include "platform/MessageBox.h"
#include "platform/linux/x11/DesktopDialogs.h"
#include "plugin/host/FileSelector.h"
#include "tools/livehost/FileSelection.h"

#include <cstring>

// The desktop's own choosers and message dialogs (zenity), answered here by
// typing into them as a user would; and what happens where there are none.

namespace voltara::test {
namespace {

using platform::x11::DesktopDialogs;

std::string quoted(const std::string& word)
{
    std::string text = "'";
    for (char c : word)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

// An xdotool command line: find the dialog by its title, focus it, then these keys.
std::string inDialog(const std::string& title, const std::vector<std::string>& keys)
{
    std::string line = "xdotool search --sync --name " + quoted(title) + " windowfocus --sync sleep 0.5";
    for (const std::string& key : keys)
        line += " " + quoted(key);
    return line;
}

// Typing a path into GTK's chooser: Ctrl+L opens its location field.
// xdotool types all that follows "type": Return comes in a command of its
// own, after Delete has taken away what the field completed on its own.
std::vector<std::string> typePath(const std::string& path)
{
    return {"key", "ctrl+l", "sleep", "0.3", "type", "--delay", "20", path};
}
const std::string pressReturn = "xdotool sleep 0.3 key Delete sleep 0.2 key Return";

struct DesktopDialogsTest : LiveTest {
    // Runs the xdotool command lines one after the other beside the dialogs the call opens.
    template <typename Call>
    auto answeringWith(const std::vector<std::string>& commands, Call call)
    {
        std::string script;
        for (const std::string& command : commands)
            script += (script.empty() ? "" : " && ") + command;
        BackgroundProgram input("sh", {"-c", script}, {"DISPLAY=" + display->name()});
        auto result = call();
        while (!input.finished())
            editor->service(5);
        EXPECT_EQ(input.status(), 0);
        return result;
    }
};

TEST(DesktopDialogsMissingTest, WithoutTheDialogProgramChoosersAnswerCancelledAndSayWhy)
{
    ScopedEnvironment path("PATH", "/nonexistent");
    EXPECT_EQ(DesktopDialogs::program(), "");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(DesktopDialogs::chooseFile("Load", "", {{"Bank", {"*.fxb"}}}));
    EXPECT_FALSE(DesktopDialogs::chooseFolder("Folder", ""));
    EXPECT_FALSE(DesktopDialogs::showMessage("Please reload the plug-in", "Axewright Voltara Edition"));
    const std::string said = testing::internal::GetCapturedStderr();
    const char* reason = "zenity is not installed (Debian package zenity)";
    EXPECT_NE(said.find(std::string("voltara: no file chooser can be shown: ") + reason + "; taken as cancelled"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(std::string("voltara: no folder chooser can be shown: ") + reason), std::string::npos);
    EXPECT_NE(said.find(std::string("voltara: no message dialog can be shown: ") + reason), std::string::npos);
}

TEST_F(DesktopDialogsTest, TheFileChooserAnswersTheFileTheUserChose)
{
    openEditor();
    store.write("banks/My Bank.fxb", "bank bytes");
    const std::string bank = store.file("banks/My Bank.fxb");
    const auto chosen = answeringWith({inDialog("Load a test bank", typePath(bank)), pressReturn}, [&] {
        return DesktopDialogs::chooseFile("Load a test bank", store.path(), {{"AW Effects Bank", {"*.fxb", "*.FXB"}}});
    });
    EXPECT_EQ(chosen, std::optional<std::string>(bank));
}

TEST_F(DesktopDialogsTest, TheFolderChooserAndTheMessageDialogAnswerTheEditorsQuestionsAtOpen)
{
    // No content folder is recorded: the editor asks for it as it opens,
    // through the host's file selector, which the desktop's chooser answers;
    // the plug-in then says to reload it, in a message dialog.
    const std::string folder = std::string(VOLTARA_SOURCE_DIR) + "/content";
    host->respond = [](const TestHost::Call& call, void* pointer) -> std::optional<intptr_t> {
        if (call.opcode != hostOpenFileSelector || !pointer)
            return std::nullopt;
        return livehost::selectWithDesktop(*static_cast<FileSelectRecord*>(pointer)) ? 1 : 0;
    };
    const std::vector<std::string> answers = {
        inDialog("Please locate the AW Voltara Edition content folder", typePath(folder)), pressReturn,
        inDialog("Axewright Voltara Edition", {"key", "Return"})};
    const size_t messagesBefore = MessageBox::history().size();
    answeringWith(answers, [&] {
        openEditor();
        return 0;
    });
    ASSERT_EQ(MessageBox::history().size(), messagesBefore + 1);
    EXPECT_EQ(MessageBox::history().back().text, "Please reload the plug-in");
    EXPECT_EQ(host->programName(0), "Please reload plug-in");
    EXPECT_EQ(store.read("HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara/Install Path"), folder + '\0');
}

} // namespace
} // namespace voltara::test
