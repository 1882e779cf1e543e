#include "platform/Gdi.h"
#include "platform/Input.h"
#include "platform/PopupMenu.h"
#include "platform/Window.h"
#include "platform/linux/Host.h"

#include <gtest/gtest.h>

#include <vector>

// The Linux window system: painting, the queue, scripted input on the
// simulated clock, menus.

namespace voltara::platform {
namespace {

struct Received {
    Window window;
    uint32_t message;
    WParam wParam;
    LParam lParam;
};
std::vector<Received> received;

LResult VOLTARA_CALLBACK recordingProcedure(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    received.push_back({window, message, wParam, lParam});
    if (message == WM_PAINT) {
        PaintStruct paint;
        DeviceContext dc = BeginPaint(window, &paint);
        GdiObject brush = CreateSolidBrush(0x0000FF);
        FillRect(dc, &paint.paint, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct WindowSystemTest : ::testing::Test {
    void SetUp() override
    {
        host::useSimulatedClock(5000);
        WindowClass windowClass{};
        windowClass.procedure = &recordingProcedure;
        windowClass.className = "RecordingChild";
        RegisterClassA(&windowClass);
        parent = host::createParentWindow(200, 100, 300, 200);
        host::pumpMessages();
        child = CreateWindowExA(0, "RecordingChild", "", WS_CHILD | WS_VISIBLE, 20, 10, 50, 40, parent, nullptr,
                                nullptr, nullptr);
        received.clear();
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        EXPECT_FALSE(IsWindow(child)) << "children go with their parent";
        EXPECT_TRUE(UnregisterClassA("RecordingChild", nullptr));
        host::pumpMessages();
        host::takeForwardedEvents();
    }
    int count(uint32_t message) const
    {
        int n = 0;
        for (const Received& r : received)
            n += r.message == message;
        return n;
    }
    Window parent = nullptr;
    Window child = nullptr;
};

TEST_F(WindowSystemTest, AVisibleWindowIsPaintedFromTheQueueIntoItsParentsPixels)
{
    Message message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    EXPECT_EQ(message.window, child);
    host::pumpMessages();
    EXPECT_EQ(count(WM_PAINT), 1);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) << "painting validated it";
    const host::Image pixels = host::readPixels(parent);
    EXPECT_EQ(pixels.pixel(20, 10), 0xFF0000u) << "the child's first pixel";
    EXPECT_EQ(pixels.pixel(69, 49), 0xFF0000u) << "the child's last pixel";
    EXPECT_EQ(pixels.pixel(70, 50), 0xF0F0F0u) << "the parent's background";
    EXPECT_EQ(host::readPixels(child).pixel(0, 0), 0xFF0000u);
}

TEST_F(WindowSystemTest, InvalidatedAreasJoinIntoOneUpdateRectangle)
{
    host::pumpMessages();
    WinRect a{2, 3, 5, 6}, b{10, 1, 12, 4}, update{};
    EXPECT_FALSE(GetUpdateRect(child, &update, 0));
    InvalidateRect(child, &a, 0);
    InvalidateRect(child, &b, 0);
    ASSERT_TRUE(GetUpdateRect(child, &update, 0));
    EXPECT_EQ(update.left, 2);
    EXPECT_EQ(update.top, 1);
    EXPECT_EQ(update.right, 12);
    EXPECT_EQ(update.bottom, 6);
    PaintStruct paint;
    BeginPaint(child, &paint);
    EXPECT_EQ(paint.paint.right, 12);
    EndPaint(child, &paint);
    EXPECT_FALSE(GetUpdateRect(child, &update, 0));
}

TEST_F(WindowSystemTest, AScriptedClickReachesTheWindowUnderTheCursorInItsCoordinates)
{
    host::pumpMessages();
    received.clear();
    const WinPoint inside = host::toScreen(child, 7, 9);
    host::play({host::at(0, inside, 0), host::at(10, inside, host::leftButton | host::shiftKey),
                host::at(20, inside, 0), host::at(30, inside, host::leftButton), host::at(40, inside, 0)});
    host::runScript();
    std::vector<Received> downs;
    for (const Received& r : received)
        if (r.message == WM_LBUTTONDOWN)
            downs.push_back(r);
    ASSERT_EQ(downs.size(), 2u) << "a double click is two button-down messages";
    EXPECT_EQ(downs[0].window, child);
    EXPECT_EQ(loWord(downs[0].lParam), 7);
    EXPECT_EQ(hiWord(downs[0].lParam), 9);
    EXPECT_EQ(GetTickCount(), 5040u);
}

TEST_F(WindowSystemTest, SleepMovesTheSimulatedClockAndReplaysTheInput)
{
    const WinPoint a = host::toScreen(parent, 5, 5), b = host::toScreen(parent, 150, 60);
    host::setInput(a, 0);
    const uint32_t start = GetTickCount();
    host::play({host::at(100, b, host::leftButton | host::controlKey)});
    WinPoint cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, a.x);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
    Sleep(99);
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
    Sleep(1);
    EXPECT_EQ(GetTickCount(), start + 100);
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, b.x);
    EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_LT(GetAsyncKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    host::setInput(b, 0);
}

TEST_F(WindowSystemTest, KeyAndWheelEventsAreKeptForTheHost)
{
    host::InputEvent key;
    key.kind = host::InputEvent::key;
    key.virtualKey = 12;
    host::InputEvent wheel;
    wheel.kind = host::InputEvent::wheel;
    wheel.time = 5;
    wheel.distance = -1;
    host::play({key, wheel});
    host::runScript();
    const std::vector<host::InputEvent> events = host::takeForwardedEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].virtualKey, 12);
    EXPECT_EQ(events[1].distance, -1);
}

TEST_F(WindowSystemTest, APopupMenuShowsAsBuiltAndPostsTheChoice)
{
    Menu sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 7, "Inner");
    Menu menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 1, "One");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED | MF_MENUBARBREAK, 2, "Two");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<uintptr_t>(sub), "More");
    std::vector<host::MenuItem> seen;
    WinPoint where{};
    host::setMenuChooser([&](const std::vector<host::MenuItem>& items, WinPoint at, uint32_t) {
        seen = items;
        where = at;
        return &items[3].submenu[0];
    });
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 40, 50, 0, child, nullptr));
    host::setMenuChooser(nullptr);
    DestroyMenu(menu);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].text, "One");
    EXPECT_EQ(seen[0].flags, MF_CHECKED);
    EXPECT_EQ(seen[1].flags, MF_SEPARATOR);
    EXPECT_EQ(seen[2].flags, MF_GRAYED | MF_MENUBARBREAK);
    ASSERT_EQ(seen[3].submenu.size(), 1u);
    EXPECT_EQ(seen[3].submenu[0].text, "Inner");
    EXPECT_EQ(where.x, 40);
    Message message;
    ASSERT_TRUE(PeekMessageA(&message, child, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

TEST_F(WindowSystemTest, AGreyedEntryCannotBeChosen)
{
    Menu menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 2, "Two");
    host::setMenuChooser([](const std::vector<host::MenuItem>& items, WinPoint, uint32_t) { return &items[0]; });
    TrackPopupMenu(menu, 0, 0, 0, 0, child, nullptr);
    host::setMenuChooser(nullptr);
    DestroyMenu(menu);
    Message message;
    EXPECT_FALSE(PeekMessageA(&message, child, WM_COMMAND, WM_COMMAND, PM_REMOVE));
}

TEST_F(WindowSystemTest, AClassWithWindowsCannotBeUnregistered)
{
    EXPECT_FALSE(UnregisterClassA("RecordingChild", nullptr));
    WindowClass same{};
    same.procedure = &recordingProcedure;
    same.className = "recordingchild";
    EXPECT_EQ(RegisterClassA(&same), 0) << "names are compared without case";
}

} // namespace
} // namespace voltara::platform
