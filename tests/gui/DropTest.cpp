#include "tests/gui/GuiTestKit.h"

#include "platform/DragDrop.h"

namespace voltara::test {
namespace {

namespace host = platform::host;

struct DropTest : GuiTest {
    void SetUp() override
    {
        GuiTest::SetUp();
        host::setShortcutResolver([](const std::string& shortcut, std::string& target) {
            if (shortcut == "/home/user/Bank.LNK" || shortcut == "/home/user/bank.lnk") {
                target = "/music/banks/Live.fxb";
                return true;
            }
            return false;
        });
        openEditor([this](Frame* f) {
            view = new ProbeView({0, 0, 100, 100}, colours::red);
            f->addView(view);
        });
    }
    void TearDown() override
    {
        host::setShortcutResolver(nullptr);
        GuiTest::TearDown();
    }
    ProbeView* view = nullptr;
};

TEST_F(DropTest, ShortcutsReachTheViewAsTheirTargetsWhateverTheCaseOfTheirExtension)
{
    const uint32_t effect = host::dropFiles(frame()->getSystemWindow(), {10, 20},
                                            {"/home/user/Bank.LNK", "/home/user/bank.lnk.txt", "/home/user/x.lnk"});
    EXPECT_EQ(effect, platform::DROPEFFECT_MOVE);
    EXPECT_EQ(view->droppedType, 0);
    EXPECT_EQ(view->droppedCount, 3);
    EXPECT_EQ(view->dropped,
              (std::vector<std::string>{"/music/banks/Live.fxb", "/home/user/bank.lnk.txt", "/home/user/x.lnk"}))
        << "a further extension keeps the name; an unresolvable shortcut keeps its own";
    EXPECT_EQ(view->lastWhere.h, 10);
    EXPECT_EQ(view->lastWhere.v, 20);
}

TEST_F(DropTest, TextArrivesAsOnePointerWithItsSize)
{
    const uint32_t effect = host::dropText(frame()->getSystemWindow(), {5, 5}, "hello", platform::MK_CONTROL);
    EXPECT_EQ(effect, platform::DROPEFFECT_COPY) << "Control copies";
    EXPECT_EQ(view->droppedType, 1);
    EXPECT_EQ(view->droppedCount, 6);
    EXPECT_EQ(view->dropped, std::vector<std::string>{"hello"});
}

TEST_F(DropTest, NothingIsDroppedWhileAModalViewIsShownOrOutsideTheViews)
{
    auto* modal = new ProbeView({300, 300, 310, 310}, colours::red);
    frame()->setModalView(modal);
    host::dropText(frame()->getSystemWindow(), {5, 5}, "x");
    EXPECT_EQ(view->droppedType, -1);
    frame()->setModalView(nullptr);
    modal->dropReference();
    host::dropText(frame()->getSystemWindow(), {200, 200}, "x");
    EXPECT_EQ(view->droppedType, -1);
}

} // namespace
} // namespace voltara::test
