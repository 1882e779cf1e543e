#include "tests/gui/GuiTestKit.h"

#include "gui/PopupChoiceMenu.h"
#include "platform/PopupMenu.h"
#include "platform/Window.h"

#include <cstring>
#include <string>

namespace voltara::test {
namespace {

namespace host = platform::host;

PopupChoiceMenu* makeMenu(std::initializer_list<const char*> entries, int32_t style = 0,
                          ControlObserver* listener = nullptr)
{
    auto* menu = new PopupChoiceMenu({100, 100, 160, 112}, listener, 44, nullptr, nullptr, style);
    for (const char* entry : entries)
        menu->addEntry(entry);
    return menu;
}

std::string entry(PopupChoiceMenu* menu, int32_t index)
{
    char text[256] = "";
    menu->getEntry(index, text);
    return text;
}

TEST(PopupChoiceMenuEntriesTest, SeparatorsAndTitlesCountOnlyWhenAskedTo)
{
    PopupChoiceMenu* menu = makeMenu({"A", "-", "-TTitle", "B"});
    EXPECT_TRUE(menu->setCurrent(3, true));
    char text[256];
    EXPECT_EQ(menu->getCurrent(text, false), 1);
    EXPECT_STREQ(text, "B");
    EXPECT_EQ(menu->getCurrent(nullptr, true), 3);
    EXPECT_TRUE(menu->setCurrent(0, false));
    EXPECT_EQ(menu->getCurrent(nullptr, true), 0);
    EXPECT_TRUE(menu->setCurrent(1, false));
    EXPECT_EQ(menu->getCurrent(nullptr, true), 3) << "\"B\"";
    EXPECT_TRUE(menu->setCurrent(7, false));
    EXPECT_EQ(menu->getCurrent(nullptr, true), 3) << "fewer entries: the last";
    EXPECT_FALSE(menu->setCurrent(1, true)) << "a separator cannot be current";
    EXPECT_FALSE(menu->setCurrent(4, true));
    EXPECT_TRUE(menu->setCurrent(-1, false));
    EXPECT_EQ(menu->getCurrent(nullptr, true), -1);
    menu->dropReference();
}

TEST(PopupChoiceMenuEntriesTest, InsertingAndRemovingMoveTheCurrentEntry)
{
    PopupChoiceMenu* menu = makeMenu({"A", "B", "C"});
    EXPECT_EQ(menu->getCurrent(nullptr, true), 0) << "the first entry becomes current";
    menu->setCurrent(1, true);
    menu->addEntry("X", 0);
    EXPECT_EQ(menu->getCurrent(nullptr, true), 2);
    menu->addEntry("Y", 99);
    EXPECT_EQ(entry(menu, 4), "Y");
    menu->addEntry("Z", 3);
    EXPECT_EQ(menu->getCurrent(nullptr, true), 2) << "inserted after it";
    menu->addEntry(nullptr);
    EXPECT_EQ(entry(menu, 6), "");
    EXPECT_TRUE(menu->removeEntry(0));
    EXPECT_EQ(menu->getCurrent(nullptr, true), 1);
    EXPECT_EQ(entry(menu, 1), "B");
    EXPECT_FALSE(menu->removeEntry(6));
    EXPECT_EQ(menu->getIndex("C"), 3);
    EXPECT_EQ(menu->getIndex("nothing"), -1);
    EXPECT_TRUE(menu->setEntry(2, std::string(300, 'x').c_str()));
    EXPECT_EQ(entry(menu, 2).size(), 255u);
    while (menu->getEntryCount() > 0)
        menu->removeEntry(0);
    EXPECT_EQ(menu->getCurrent(nullptr, true), -1);
    menu->dropReference();
}

TEST(PopupChoiceMenuEntriesTest, AtMost1024EntriesInArraysGrowingBy32)
{
    PopupChoiceMenu* menu = makeMenu({});
    for (int i = 0; i < 1024; ++i) {
        ASSERT_TRUE(menu->addEntry(std::to_string(i).c_str()));
        if (i == 31 || i == 32) {
            EXPECT_EQ(menu->getEntryCapacity(), i == 31 ? 32 : 64);
        }
    }
    EXPECT_FALSE(menu->addEntry("one too many"));
    auto* sub = makeMenu({"x"});
    EXPECT_FALSE(menu->addEntry(sub, "More"));
    EXPECT_EQ(menu->getEntryCount(), 1024);
    sub->dropReference();
    menu->dropReference();
}

TEST(PopupChoiceMenuEntriesTest, ValuesPickEntriesAndFlipChecksInCheckStyle)
{
    PopupChoiceMenu* menu = makeMenu({"A", "B", "C"}, PopupChoiceMenu::checkStyle);
    menu->setValue(1.7f);
    EXPECT_EQ(menu->getCurrent(nullptr, true), 1);
    EXPECT_TRUE(menu->isCheckEntry(1));
    menu->setValue(1.0f);
    EXPECT_FALSE(menu->isCheckEntry(1));
    menu->setValue(3.0f);
    menu->setValue(-1.5f);
    EXPECT_EQ(menu->getCurrent(nullptr, true), 1) << "outside the entries nothing happens";
    menu->setValue(-0.5f);
    EXPECT_EQ(menu->getCurrent(nullptr, true), 0) << "truncated to entry 0";
    menu->setEntryCheck(0, true);
    menu->checkEntryAlone(2);
    EXPECT_FALSE(menu->isCheckEntry(0));
    EXPECT_TRUE(menu->isCheckEntry(2));
    menu->dropReference();
}

// The popup, with the host's chooser standing in for the user.
struct PopupChoiceMenuTest : GuiTest {
    void TearDown() override
    {
        host::setMenuChooser(nullptr);
        GuiTest::TearDown();
    }
    // Opens the menu with a click; the chooser picks the item at the path
    // given (indices into the items and their sub-menus), or nothing.
    void choose(std::vector<int> path, uint32_t held = host::leftButton)
    {
        host::setMenuChooser([this, path](const std::vector<host::MenuItem>& items, platform::WinPoint point,
                                          uint32_t flags) -> const host::MenuItem* {
            shown = items;
            shownAt = point;
            shownFlags = flags;
            const std::vector<host::MenuItem>* level = &items;
            const host::MenuItem* item = nullptr;
            for (int index : path) {
                item = &(*level)[size_t(index)];
                level = &item->submenu;
            }
            return item;
        });
        click(110, 105, held);
    }
    RecordingObserver observer;
    std::vector<host::MenuItem> shown;
    platform::WinPoint shownAt{};
    uint32_t shownFlags = 0;
};

TEST_F(PopupChoiceMenuTest, TheChosenEntryBecomesCurrentAndReachesTheListener)
{
    PopupChoiceMenu* menu = nullptr;
    openEditor([&](Frame* f) {
        menu = makeMenu({"16/4", "-", "-GGrey", "-TTitle", "8/4"}, PopupChoiceMenu::checkCurrent, &observer);
        f->addView(menu);
    });
    choose({4});
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].flags, platform::MF_CHECKED) << "the current entry";
    EXPECT_EQ(shown[1].flags, platform::MF_SEPARATOR);
    EXPECT_EQ(shown[2].text, "Grey");
    EXPECT_EQ(shown[2].flags, platform::MF_GRAYED);
    EXPECT_EQ(shown[3].text, "Title");
    EXPECT_EQ(shown[3].flags, platform::MF_DISABLED);
    EXPECT_EQ(shown[4].command, 4u) << "command numbers count from 0";
    const platform::WinPoint origin = screen(0, 0);
    EXPECT_EQ(shownAt.x, origin.x + 100);
    EXPECT_EQ(shownAt.y, origin.y + 112) << "below the control";
    EXPECT_EQ(shownFlags, 0u);
    EXPECT_EQ(menu->getCurrent(nullptr, true), 4);
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0].control, menu);
    EXPECT_EQ(observer.changes[0].value, 4.0f);
    EXPECT_EQ(menu->getLastCommand(), 4);
    EXPECT_EQ(frame()->getFocusView(), nullptr);

    observer.changes.clear();
    choose({});
    EXPECT_TRUE(observer.changes.empty()) << "closed without a choice";
    EXPECT_EQ(menu->getLastCommand(), -1);
}

TEST_F(PopupChoiceMenuTest, ASubMenusEntryReachesTheSubMenuAndTheListenerWithIt)
{
    PopupChoiceMenu *menu = nullptr, *sub = makeMenu({"x", "y"});
    openEditor([&](Frame* f) {
        menu = makeMenu({"A"}, 0, &observer);
        menu->addEntry(sub, "More");
        menu->addEntry("B");
        f->addView(menu);
    });
    sub->dropReference();
    choose({1, 1});
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].text, "More");
    EXPECT_EQ(shown[1].flags, platform::MF_POPUP);
    ASSERT_EQ(shown[1].submenu.size(), 2u);
    EXPECT_EQ(shown[1].submenu[0].command, 3u) << "after the three numbers of the top menu";
    EXPECT_EQ(shown[2].command, 2u);
    EXPECT_EQ(sub->getValue(), 1.0f);
    EXPECT_EQ(sub->getCurrent(nullptr, true), 1);
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0].control, sub);
}

TEST_F(PopupChoiceMenuTest, ColumnsBreakAtMultiplesOfTheItemsPerColumnBelow160Entries)
{
    PopupChoiceMenu* menu = nullptr;
    openEditor([&](Frame* f) {
        menu = makeMenu({}, 0, &observer);
        for (int i = 0; i < 30; ++i)
            menu->addEntry(std::to_string(i).c_str());
        menu->setEntriesPerColumn(10);
        f->addView(menu);
    });
    choose({});
    int breaks = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        if (shown[i].flags & platform::MF_MENUBARBREAK) {
            ++breaks;
            EXPECT_EQ(i % 10, 0u);
        }
    EXPECT_EQ(breaks, 2) << "three columns";
    for (int i = 30; i < 160; ++i)
        menu->addEntry(std::to_string(i).c_str());
    choose({});
    for (const host::MenuItem& item : shown)
        EXPECT_FALSE(item.flags & platform::MF_MENUBARBREAK);
}

TEST_F(PopupChoiceMenuTest, CheckStyleTopPlacementAndTheRightButton)
{
    PopupChoiceMenu* menu = nullptr;
    openEditor([&](Frame* f) {
        menu = makeMenu({"A", "B"}, PopupChoiceMenu::checkStyle | PopupChoiceMenu::openAtTop, &observer);
        menu->setEntryCheck(1, true);
        f->addView(menu);
    });
    choose({0}, host::rightButton);
    EXPECT_EQ(shown[0].flags, 0u);
    EXPECT_EQ(shown[1].flags, platform::MF_CHECKED);
    EXPECT_EQ(shownAt.y, screen(0, 0).y + 100) << "at the top edge";
    EXPECT_EQ(shownFlags, platform::TPM_RIGHTBUTTON);
    EXPECT_TRUE(menu->isCheckEntry(0)) << "chosen: its check flipped";
}

TEST_F(PopupChoiceMenuTest, TheClickThatClosesTheMenuReachesNoControl)
{
    PopupChoiceMenu* menu = nullptr;
    ProbeView* other = nullptr;
    std::vector<std::string> log;
    openEditor([&](Frame* f) {
        menu = makeMenu({"A", "B"}, 0, &observer);
        other = new ProbeView({300, 300, 340, 340}, colours::red, &log, "other");
        f->addView(menu);
        f->addView(other);
    });
    const platform::WinPoint outside = screen(320, 320);
    host::setMenuChooser([&](const std::vector<host::MenuItem>&, platform::WinPoint, uint32_t) {
        host::setInput(outside, host::leftButton); // the user clicks elsewhere to close it
        host::setInput(outside, 0);
        return static_cast<const host::MenuItem*>(nullptr);
    });
    click(110, 105);
    host::pumpMessages();
    EXPECT_TRUE(log.empty());
}

} // namespace
} // namespace voltara::test
