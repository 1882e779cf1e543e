#include "tests/presenter/LiveTestKit.h"

#include "platform/PopupMenu.h"
#include "platform/Window.h"
#include "platform/linux/x11/MenuLayout.h"

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

// Popup menus of a presented window are real popups on the X server: what
// they show is what the menu holds (entries, columns, ticks, greyed
// entries, separators, sub-menus), a click on an entry chooses it, and
// Escape or a click outside closes it without a choice.

namespace voltara::test {
namespace {

namespace host = platform::host;
using platform::AppendMenuA;
using platform::CreatePopupMenu;
using platform::DestroyMenu;
using platform::Menu;
using platform::MF_CHECKED;
using platform::MF_DISABLED;
using platform::MF_GRAYED;
using platform::MF_MENUBARBREAK;
using platform::MF_POPUP;
using platform::MF_SEPARATOR;
using platform::WinPoint;
using platform::WinRect;
namespace x11 = platform::x11;

constexpr WinPoint menuAt{20, 20}; // window coordinates: clear of the pointer, which starts mid-screen

// Captures the first popup (an override-redirect window) that appears on the
// display, from a process of its own so that the test may wait inside the
// popup meanwhile; collected with take().
class PopupCapture {
public:
    explicit PopupCapture(const std::string& displayName)
    {
        if (pipe(pipe_) != 0)
            return;
        child_ = fork();
        if (child_ == 0) {
            close(pipe_[0]);
            run(displayName);
            _exit(0);
        }
        close(pipe_[1]);
    }
    ~PopupCapture()
    {
        if (child_ > 0)
            waitpid(child_, nullptr, 0);
        close(pipe_[0]);
    }
    Capture take()
    {
        Capture shown;
        int size[2] = {0, 0};
        if (read(pipe_[0], size, sizeof size) == ssize_t(sizeof size) && size[0] > 0 && size[1] > 0) {
            shown.width = size[0];
            shown.height = size[1];
            shown.pixels.resize(size_t(size[0]) * size[1]);
            char* into = reinterpret_cast<char*>(shown.pixels.data());
            size_t left = shown.pixels.size() * 4;
            while (left > 0) {
                const ssize_t got = read(pipe_[0], into, left);
                if (got <= 0)
                    break;
                into += got;
                left -= size_t(got);
            }
        }
        return shown;
    }

private:
    void run(const std::string& displayName)
    {
        Display* display = XOpenDisplay(displayName.c_str());
        int size[2] = {0, 0};
        for (int pass = 0; display && pass < 300; ++pass) {
            ::Window root, parent, *children = nullptr;
            unsigned int count = 0;
            XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
            ::Window popup = 0;
            for (unsigned int i = 0; i < count; ++i) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, children[i], &attributes) && attributes.override_redirect
                    && attributes.map_state == IsViewable)
                    popup = children[i];
            }
            XFree(children);
            if (popup) {
                usleep(300000); // painted by then
                XWindowAttributes attributes;
                XGetWindowAttributes(display, popup, &attributes);
                XImage* image = XGetImage(display, popup, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                                          AllPlanes, ZPixmap);
                size[0] = attributes.width;
                size[1] = attributes.height;
                std::vector<uint32_t> pixels;
                for (int y = 0; y < size[1]; ++y)
                    for (int x = 0; x < size[0]; ++x)
                        pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
                (void)!write(pipe_[1], size, sizeof size);
                (void)!write(pipe_[1], pixels.data(), pixels.size() * 4);
                return;
            }
            usleep(10000);
        }
        (void)!write(pipe_[1], size, sizeof size);
    }

    int pipe_[2] = {-1, -1};
    pid_t child_ = -1;
};

struct MenuPopupTest : LiveTest {
    // Shows the menu at menuAt while xdotool does `drive`; the command chosen, or -1.
    int track(Menu menu, const std::vector<std::string>& drive, Capture* shown = nullptr)
    {
        std::unique_ptr<PopupCapture> capturing;
        if (shown)
            capturing = std::make_unique<PopupCapture>(display->name());
        std::vector<std::string> arguments{"sleep", "1"};
        arguments.insert(arguments.end(), drive.begin(), drive.end());
        BackgroundProgram input("xdotool", arguments, {"DISPLAY=" + display->name()});
        const platform::Window owner = editor->presenter().window();
        const WinPoint at = host::toScreen(owner, menuAt.x, menuAt.y);
        platform::TrackPopupMenu(menu, 0, at.x, at.y, 0, owner, nullptr);
        platform::Message message;
        const int chosen =
            platform::PeekMessageA(&message, owner, platform::WM_COMMAND, platform::WM_COMMAND, platform::PM_REMOVE)
                ? int(message.wParam)
                : -1;
        while (!input.finished())
            editor->service(5);
        if (shown)
            *shown = capturing->take();
        return chosen;
    }
    // xdotool arguments: the pointer to the middle of an entry of the layout, and a click.
    std::vector<std::string> clickEntry(const x11::MenuLayout& layout, int entry) const
    {
        const WinRect& r = layout.entries()[size_t(entry)].rect;
        std::vector<std::string> click = moveTo(menuAt.x + (r.left + r.right) / 2, menuAt.y + (r.top + r.bottom) / 2);
        click.insert(click.end(), {"sleep", "0.2", "click", "1", "sleep", "0.3"});
        return click;
    }
};

// A menu of two columns split by a bar: a checked entry, a plain one, a
// separator, a greyed one; then a title and another checked entry.
Menu twoColumns()
{
    Menu menu = CreatePopupMenu();
    AppendMenuA(menu, MF_CHECKED, 0, " 1/4 Note  ");
    AppendMenuA(menu, 0, 1, " 1/8 Note  ");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_GRAYED, 3, "Greyed");
    AppendMenuA(menu, MF_MENUBARBREAK | MF_DISABLED, 4, "Title");
    AppendMenuA(menu, MF_CHECKED, 5, "Last");
    return menu;
}

// The items a menu of twoColumns shows, as the chooser receives them.
std::vector<host::MenuItem> twoColumnItems()
{
    return {{" 1/4 Note  ", MF_CHECKED, 0, {}},
            {" 1/8 Note  ", 0, 1, {}},
            {"", MF_SEPARATOR, 0, {}},
            {"Greyed", MF_GRAYED, 3, {}},
            {"Title", MF_MENUBARBREAK | MF_DISABLED, 4, {}},
            {"Last", MF_CHECKED, 5, {}}};
}

// The menu as MenuLayout paints it, in a window of the window system.
Capture painted(const x11::MenuLayout& layout)
{
    platform::WindowClass definition{};
    definition.procedure = &platform::DefWindowProcA;
    definition.className = "MenuPopupTestCanvas";
    platform::RegisterClassA(&definition);
    const platform::Window canvas =
        platform::CreateWindowExA(0, "MenuPopupTestCanvas", "", platform::WS_POPUP, -50000, 0, layout.width(),
                                  layout.height(), nullptr, nullptr, nullptr, nullptr);
    platform::DeviceContext dc = platform::GetDC(canvas);
    layout.paint(dc, -1);
    platform::ReleaseDC(canvas, dc);
    const Capture pixels = toCapture(host::readPixels(canvas));
    platform::DestroyWindow(canvas);
    return pixels;
}

TEST(MenuLayoutTest, EntriesStackInColumnsThatBreakWhereTheMenuSays)
{
    const std::vector<host::MenuItem> items = twoColumnItems();
    const x11::MenuLayout layout(items);
    const auto& e = layout.entries();
    ASSERT_EQ(e.size(), items.size());
    EXPECT_EQ(e[1].rect.top, e[0].rect.bottom);
    EXPECT_LT(e[2].rect.bottom - e[2].rect.top, e[1].rect.bottom - e[1].rect.top) << "a separator is a thin line";
    EXPECT_EQ(e[4].rect.top, e[0].rect.top) << "the break starts a column at the top";
    EXPECT_GT(e[4].rect.left, e[0].rect.right) << "beside the first, behind a bar";
    EXPECT_EQ(e[0].rect.right - e[0].rect.left, e[3].rect.right - e[3].rect.left) << "a column is one width";
    const bool selectable[] = {true, true, false, false, false, true};
    for (size_t i = 0; i < e.size(); ++i)
        EXPECT_EQ(e[i].selectable, selectable[i]) << i;
    EXPECT_EQ(layout.entryAt((e[5].rect.left + e[5].rect.right) / 2, e[5].rect.top + 1), 5);
    EXPECT_EQ(layout.entryAt(0, 0), -1) << "the frame is no entry";
    EXPECT_EQ(layout.nextSelectable(1, +1), 5) << "past what cannot be chosen";
    EXPECT_EQ(layout.nextSelectable(0, -1), 5) << "round the end";

    // Ticks and greyed text are drawn.
    const Capture look = painted(layout);
    auto inkIn = [&](const WinRect& r, uint32_t colour) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (look.pixel(x, y) == colour)
                    return true;
        return false;
    };
    const WinRect tickOfFirst{e[0].rect.left, e[0].rect.top, e[0].rect.left + 20, e[0].rect.bottom};
    const WinRect tickOfSecond{e[1].rect.left, e[1].rect.top, e[1].rect.left + 20, e[1].rect.bottom};
    EXPECT_TRUE(inkIn(tickOfFirst, 0x000000)) << "a checked entry has its tick";
    EXPECT_FALSE(inkIn(tickOfSecond, 0x000000));
    // Text is smoothed: its darkest pixels tell its colour.
    auto darkest = [&](const WinRect& r) {
        int level = 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                level = std::min(level, int(look.pixel(x, y) & 0xFF));
        return level;
    };
    EXPECT_GE(darkest(e[3].rect), 0x6D) << "greyed text, never darker";
    EXPECT_LT(darkest(e[3].rect), 0xA0) << "but there";
    EXPECT_EQ(darkest(e[1].rect), 0) << "black text";
}

TEST_F(MenuPopupTest, ThePopupShowsTheMenuAsDrawnAndEscapeClosesItWithoutAChoice)
{
    openEditor();
    Menu menu = twoColumns();
    Capture shown;
    EXPECT_EQ(track(menu, {"key", "Escape"}, &shown), -1);
    DestroyMenu(menu);
    const Capture expected = painted(x11::MenuLayout(twoColumnItems()));
    ASSERT_EQ(shown.width, expected.width);
    ASSERT_EQ(shown.height, expected.height);
    EXPECT_TRUE(shown.pixels == expected.pixels);
}

TEST_F(MenuPopupTest, AClickOnAnEntryChoosesItAndOnAGreyedOneNothing)
{
    openEditor();
    const x11::MenuLayout layout(twoColumnItems());
    Menu menu = twoColumns();
    std::vector<std::string> drive = clickEntry(layout, 3); // greyed: the menu stays
    const std::vector<std::string> second = clickEntry(layout, 1);
    drive.insert(drive.end(), second.begin(), second.end());
    EXPECT_EQ(track(menu, drive), 1);
    DestroyMenu(menu);
}

TEST_F(MenuPopupTest, ASubMenuOpensBesideItsEntryAndItsEntriesCanBeChosen)
{
    openEditor();
    Menu inner = CreatePopupMenu();
    AppendMenuA(inner, 0, 7, "Inner one");
    AppendMenuA(inner, 0, 8, "Inner two");
    Menu menu = CreatePopupMenu();
    AppendMenuA(menu, 0, 6, "Outer");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<uintptr_t>(inner), "More");
    const std::vector<host::MenuItem> outerItems = {{"Outer", 0, 6, {}},
                                                    {"More", MF_POPUP, 0, {{"Inner one", 0, 7, {}}}}};
    const x11::MenuLayout outer(outerItems);
    const x11::MenuLayout innerLayout({{"Inner one", 0, 7, {}}, {"Inner two", 0, 8, {}}});
    const WinRect& opener = outer.entries()[1].rect;
    // The sub-menu lies beside its entry, its first entry level with it.
    const int innerLeft = menuAt.x + opener.right - 2, innerTop = menuAt.y + opener.top - 3;
    const WinRect& second = innerLayout.entries()[1].rect;
    std::vector<std::string> drive = moveTo(menuAt.x + (opener.left + opener.right) / 2, menuAt.y + opener.top + 5);
    const std::vector<std::string> then =
        moveTo(innerLeft + (second.left + second.right) / 2, innerTop + (second.top + second.bottom) / 2);
    drive.insert(drive.end(), {"sleep", "0.3"});
    drive.insert(drive.end(), then.begin(), then.end());
    drive.insert(drive.end(), {"sleep", "0.2", "click", "1"});
    EXPECT_EQ(track(menu, drive), 8);
    DestroyMenu(menu);
}

TEST_F(MenuPopupTest, AClickOutsideClosesItAndReachesNoControl)
{
    constexpr int32_t chorusOn = 40;
    openEditor();
    const float before = parameter(chorusOn);
    Menu menu = twoColumns();
    std::vector<std::string> drive = moveTo(535, 290); // the chorus's on button
    drive.insert(drive.end(), {"sleep", "0.2", "click", "1", "sleep", "0.3"});
    EXPECT_EQ(track(menu, drive), -1);
    DestroyMenu(menu);
    serveFor(200);
    EXPECT_EQ(parameter(chorusOn), before);
}

} // namespace
} // namespace voltara::test
