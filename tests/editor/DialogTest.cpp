#include "tests/editor/EditorTestKit.h"

#include "plugin/host/FileSelector.h"

#include <cstdio>
#include <cstring>
#include <string>

// The two questions the editor asks through the host's file selector: the
// content folder while it is missing, and a bank to load.

namespace voltara::test {
namespace {

namespace host = platform::host;

constexpr int32_t bankButton = 44;
const std::string factoryBank = std::string(VOLTARA_SOURCE_DIR) + "/content/Presets/Default.fxb";

// A host with a file selector: it records each request as it came and
// answers with the next path given (empty: cancelled).
struct DialogTest : EditorTest {
    struct Request {
        int32_t command;
        int32_t typeCount;
        std::string title;
        bool hasTypes;
        FileTypeRecord type;
        bool hasInitialPath;
        std::string initialPath;
    };

    void offerSelector(std::vector<std::string> answers, bool capable = true)
    {
        makeInstance();
        host->respond = [this, answers, capable](const TestHost::Call& call, void* pointer) -> std::optional<intptr_t> {
            if (call.opcode == hostCapability)
                return capable && std::strcmp(static_cast<const char*>(pointer), "openFileSelector") == 0 ? 1 : 0;
            if (call.opcode != hostOpenFileSelector)
                return std::nullopt;
            auto& record = *static_cast<FileSelectRecord*>(pointer);
            requests.push_back({record.command, record.typeCount, record.title, record.types != nullptr,
                                record.types ? *record.types : FileTypeRecord{}, record.initialPath != nullptr,
                                record.initialPath ? record.initialPath : ""});
            const std::string answer = requests.size() <= answers.size() ? answers[requests.size() - 1] : "";
            if (answer.empty())
                return 0;
            std::snprintf(record.returnPath, FileSelectRecord::pathSize, "%s", answer.c_str());
            return 1;
        };
    }
    std::string programName(int32_t program)
    {
        char name[256] = "";
        host->dispatch(opGetProgramNameAt, program, 0, name);
        return name;
    }

    std::vector<Request> requests;
};

TEST_F(DialogTest, WhileTheContentIsMissingEveryOpenAsksForItsFolder)
{
    offerSelector({"", ""});
    for (int open = 1; open <= 2; ++open) {
        forgetDrawing();
        openEditor();
        ASSERT_EQ(requests.size(), size_t(open));
        const Request& asked = requests.back();
        EXPECT_EQ(asked.command, FileSelectRecord::chooseFolder);
        EXPECT_EQ(asked.title, "Please locate the AW Voltara Edition content folder");
        EXPECT_EQ(asked.typeCount, 1);
        EXPECT_FALSE(asked.hasTypes);
        EXPECT_FALSE(asked.hasInitialPath);
        EXPECT_FALSE(drawnSinceForgotten().empty()) << "the editor opens all the same";
        closeEditor();
    }
    EXPECT_TRUE(recordedContentFolder().empty());
}

TEST_F(DialogTest, AChosenContentFolderIsRecordedAndNotAskedForAgain)
{
    const std::string folder = std::string(VOLTARA_SOURCE_DIR) + "/content";
    offerSelector({folder});
    openEditor();
    closeEditor();
    openEditor();
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(recordedContentFolder(), folder + '\0');
    EXPECT_EQ(programName(0), "Please reload plug-in");
}

TEST_F(DialogTest, AFolderWithoutTheContentIsNotRecordedAndAskedForAgain)
{
    const std::string folder = std::string(VOLTARA_SOURCE_DIR) + "/content";
    offerSelector({std::string(1023, 'x'), "/dev/zero", VOLTARA_SOURCE_DIR, folder});
    for (int open = 1; open <= 3; ++open) {
        openEditor();
        closeEditor();
        EXPECT_EQ(requests.size(), size_t(open));
        EXPECT_TRUE(recordedContentFolder().empty());
        EXPECT_EQ(programName(0), "default.fxb not found!");
    }
    openEditor();
    EXPECT_EQ(recordedContentFolder(), folder + '\0');
    EXPECT_EQ(programName(0), "Please reload plug-in");
}

TEST_F(DialogTest, TheBankButtonLoadsTheChosenBankAndStartsAtTheLastOne)
{
    installContent();
    offerSelector({"", factoryBank});
    openEditor();
    ASSERT_TRUE(requests.empty()) << "the content is there";
    const std::string firstName = programName(0);
    const float factoryRate = parameter(26);
    setParameter(26, 0.123f);
    idle();
    const Area changed = area(wholeWindow);

    clickControl(bankButton); // cancelled
    ASSERT_EQ(requests.size(), 1u);
    const Request& asked = requests[0];
    EXPECT_EQ(asked.command, FileSelectRecord::chooseFile);
    EXPECT_EQ(asked.title, "Load AW Voltara Edition FX Bank");
    EXPECT_EQ(asked.typeCount, 1);
    ASSERT_TRUE(asked.hasTypes);
    EXPECT_STREQ(asked.type.name, "AW Effects Bank");
    EXPECT_STREQ(asked.type.typeCode, ".FXB");
    EXPECT_STREQ(asked.type.extension, "fxb");
    EXPECT_STREQ(asked.type.secondExtension, "fxb");
    EXPECT_STREQ(asked.type.mimeType, "application/octet-stream");
    EXPECT_STREQ(asked.type.secondMimeType, "application/x-fxb");
    EXPECT_EQ(asked.initialPath, factoryBank) << "the bank loaded last";
    EXPECT_EQ(parameter(26), 0.123f) << "nothing loaded";
    EXPECT_EQ(area(wholeWindow), changed) << "the released button looks as before";

    clickControl(bankButton); // the factory bank again
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(parameter(26), factoryRate);
    EXPECT_EQ(programName(0), firstName);
    const Area loaded = area(wholeWindow);
    EXPECT_EQ(afterReopening(), loaded) << "every control follows the loaded bank";
}

TEST_F(DialogTest, NoDialogWithoutTheHostsSelector)
{
    installContent();
    offerSelector({factoryBank}, false);
    openEditor();
    clickControl(bankButton);
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(callsOf(hostCapability).size(), 1u);
}

// LOAD BANK acts as push buttons do: the bank dialog opens once, when the
// press ends over the button (its edges included); sliding off before
// releasing cancels, and coming back before releasing un-cancels.
TEST_F(DialogTest, TheBankDialogOpensOnlyWhenThePressEndsOverTheButton)
{
    installContent();
    offerSelector({}); // every request cancelled
    openEditor();
    const Area releasedLook = controlArea(bankButton);
    const Rect button = rackControls[bankButton - 1].rect;
    const Point inside{button.left + 5, button.top + 5};
    const Point corner{button.right, button.bottom};
    const Point below{button.left + 5, button.bottom + 20};
    const Point leftOf{button.left - 10, button.top + 5};
    struct Press {
        const char* what;
        std::vector<Point> path;
        size_t dialogs;
    };
    const Press presses[] = {
        {"pressed and released", {inside, inside}, 1},
        {"released on its bottom right corner", {inside, corner}, 1},
        {"slid off downwards", {inside, below}, 0},
        {"slid off to the left", {inside, inside, leftOf, leftOf}, 0},
        {"slid off and back", {inside, below, inside}, 1},
        {"slid off, back and off again", {inside, leftOf, inside, below}, 0},
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(press.what);
        requests.clear();
        drag(press.path);
        EXPECT_EQ(requests.size(), press.dialogs);
        EXPECT_EQ(parameter(bankLoadTag), 0.0f);
        EXPECT_EQ(controlArea(bankButton), releasedLook) << "the button springs back";
    }
}

} // namespace
} // namespace voltara::test
