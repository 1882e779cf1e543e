#include "editor/RackLayout.h"
#include "lv2/PortTable.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/lv2/Lv2Host.h"
#include "tests/support/lv2/Lv2UiHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <dirent.h>
#include <malloc.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>

// The rack's editor as the LV2 plug-in's own UI, in a host of the test's own
// on an X server of its own: what the user does reaches the host through
// write_function inside a gesture, what the host does moves the editor, and
// the host may open and close it as often as it likes, even while a knob is
// held.

namespace voltara::test {
namespace {

constexpr uint32_t frames = 256;
constexpr int32_t phaserOn = 24;
constexpr int32_t phaserRate = 26;
constexpr int32_t delaySync = 49;

uint32_t portOf(int32_t parameter)
{
    for (uint32_t i = 0; i < lv2::controlPortCount; ++i)
        if (lv2::controlParameter[i] == parameter)
            return lv2::firstControlPort + i;
    return 0;
}

Point middleOf(int32_t parameter)
{
    const Rect& r = rackControls[controlRowOf(parameter)].rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int openDescriptors()
{
    int count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder))
            ++count;
        closedir(folder);
    }
    return count;
}

struct Lv2UiTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(display.running()) << display.failure();
        viewer = XOpenDisplay(display.name().c_str());
        ASSERT_NE(viewer, nullptr);
        hostWindow = XCreateSimpleWindow(viewer, DefaultRootWindow(viewer), 100, 100, 640, 400, 0, 0, 0);
        XMapWindow(viewer, hostWindow);
        XSync(viewer, False);
        // The content installed, so that the editor asks for nothing as it opens.
        const ProgramResult content =
            runProgram(VOLTARA_BINARY_DIR "/voltara", {"content", "set", VOLTARA_SOURCE_DIR "/content"},
                       {"VOLTARA_REGISTRY=" + store.path()}, store);
        ASSERT_EQ(content.status, 0) << content.err;
        plugin = std::make_unique<Lv2Host>(VOLTARA_LV2_BUNDLE, VOLTARA_LV2_BINARY, Lv2Host::Setup{});
        plugin->activate();
        run();
    }
    void TearDown() override
    {
        ui.reset();
        plugin.reset();
        if (viewer)
            XCloseDisplay(viewer);
    }

    void openUi(const Lv2UiHost::Offer& offer = {})
    {
        ui = std::make_unique<Lv2UiHost>(*plugin, VOLTARA_LV2_UI_BINARY, hostWindow, offer);
        serveFor(100);
    }
    // One audio cycle; the host's ports as they stand.
    void run()
    {
        std::vector<float> silence(frames, 0.0f), left(frames), right(frames);
        plugin->run(silence.data(), silence.data(), left.data(), right.data(), frames);
    }
    // The host's idle timer, and its audio, for this long.
    void serveFor(int milliseconds)
    {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 10) {
            if (ui)
                ui->idle();
            run();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // xdotool on the display while the host serves the UI.
    void xdotool(const std::vector<std::string>& arguments)
    {
        BackgroundProgram input("xdotool", arguments, {"DISPLAY=" + display.name()});
        while (!input.finished()) {
            if (ui)
                ui->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(input.status(), 0);
        serveFor(300);
    }
    std::vector<std::string> moveTo(int x, int y) const
    {
        return {"mousemove", "--window", std::to_string(ui->widget()), std::to_string(x), std::to_string(y)};
    }
    // The host's ports take what the UI wrote, as a host applies them.
    void applyWrites()
    {
        for (const Lv2UiHost::Write& write : ui->writes)
            plugin->control(write.port) = write.value;
        run();
    }
    float rackValue(int32_t parameter) { return plugin->rackParameter(parameter); }

    VirtualDisplay display;
    ScopedEnvironment displayForTheUi{"DISPLAY", display.name().c_str()}; // as the host's own
    TempFolder store;
    ScopedEnvironment registry{"VOLTARA_REGISTRY", store.path().c_str()};
    Display* viewer = nullptr;
    Window hostWindow = 0;
    std::unique_ptr<Lv2Host> plugin;
    std::unique_ptr<Lv2UiHost> ui;
};

TEST_F(Lv2UiTest, TheEditorLivesInTheHostsWindowAtItsOwnSize)
{
    openUi();
    ASSERT_TRUE(ui->open());
    EXPECT_EQ(ui->resizedWidth, 600);
    EXPECT_EQ(ui->resizedHeight, 354);
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(viewer, hostWindow, &root, &parent, &children, &count);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(children[0], ui->widget());
    XFree(children);
    EXPECT_EQ(ui->idle(), 0);
}

TEST_F(Lv2UiTest, AKnobDragReachesTheHostThroughWriteFunctionInsideATouch)
{
    openUi();
    const Point knob = middleOf(phaserRate);
    xdotool({"mousemove",
             "--window",
             std::to_string(ui->widget()),
             std::to_string(knob.h),
             std::to_string(knob.v),
             "mousedown",
             "1",
             "sleep",
             "0.05",
             "mousemove",
             "--window",
             std::to_string(ui->widget()),
             std::to_string(knob.h + 10),
             std::to_string(knob.v - 10),
             "sleep",
             "0.05",
             "mousemove",
             "--window",
             std::to_string(ui->widget()),
             std::to_string(knob.h + 12),
             std::to_string(knob.v + 4),
             "sleep",
             "0.2",
             "mouseup",
             "1"});
    const uint32_t port = portOf(phaserRate);
    ASSERT_FALSE(ui->writes.empty());
    for (const Lv2UiHost::Write& write : ui->writes)
        EXPECT_EQ(write.port, port);
    ASSERT_EQ(ui->touches.size(), 2u);
    EXPECT_EQ(ui->touches.front().port, port);
    EXPECT_TRUE(ui->touches.front().grabbed);
    EXPECT_FALSE(ui->touches.back().grabbed);
    const float last = ui->writes.back().value;
    EXPECT_EQ(rackValue(phaserRate), last) << "the rack took it at once";

    // The host's port takes the writes, late and one by one: the rack and
    // the editor stay where the user left them.
    for (const Lv2UiHost::Write& write : ui->writes) {
        plugin->control(port) = write.value;
        run();
        ui->portEvent(port, write.value);
        ui->idle();
        EXPECT_EQ(rackValue(phaserRate), last);
    }
}

TEST_F(Lv2UiTest, AButtonClickReachesTheHostAndChangesWhatTheRackDoes)
{
    plugin->control(portOf(phaserOn)) = 0.0f;
    run();
    openUi();
    const Point button = middleOf(phaserOn);
    xdotool({"mousemove", "--window", std::to_string(ui->widget()), std::to_string(button.h), std::to_string(button.v),
             "click", "1"});
    ASSERT_EQ(ui->writes.size(), 1u);
    EXPECT_EQ(ui->writes[0].port, portOf(phaserOn));
    EXPECT_EQ(ui->writes[0].value, 1.0f);
    EXPECT_TRUE(ui->touches.empty()) << "a click is no gesture";
    applyWrites();
    std::vector<float> tone(4096), left(4096), right(4096);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.3f * float(i % 100) / 100.0f;
    for (int block = 0; block < 20; ++block)
        plugin->run(tone.data(), tone.data(), left.data(), right.data(), 4096);
    EXPECT_GT(plugin->control(lv2::firstLampPort + 2), 0.0f) << "the phaser's lamp runs";
}

TEST_F(Lv2UiTest, ChangesFromTheHostMoveTheEditorsControls)
{
    openUi();
    const uint32_t port = portOf(phaserRate);
    ui->portEvent(port, plugin->control(port)); // the port as it stands
    ui->idle();
    ui->portEvent(port, 0.9f);
    serveFor(50);
    EXPECT_EQ(rackValue(phaserRate), 0.9f);
    // A preset or automation through the audio thread comes the same way.
    plugin->control(portOf(delaySync)) = 1.0f;
    serveFor(100);
    EXPECT_EQ(rackValue(delaySync), 1.0f);
    EXPECT_TRUE(ui->writes.empty()) << "nothing told back";
}

TEST_F(Lv2UiTest, WithoutInstanceAccessTheHostKeepsItsGenericControls)
{
    testing::internal::CaptureStderr();
    openUi({false, true, false});
    EXPECT_FALSE(ui->open());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("needs the host's instance access"), std::string::npos);
}

TEST_F(Lv2UiTest, AHundredOpensAndClosesLeaveNothingBehind)
{
    auto cycle = [&] {
        openUi();
        ASSERT_TRUE(ui->open());
        ui->idle();
        ui.reset();
        XSync(viewer, False);
    };
    cycle(); // what is made once (fonts, bitmaps) is made now; a window left would hold 850 KB
    const int descriptors = openDescriptors();
    const size_t heap = mallinfo2().uordblks;
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_EQ(openDescriptors(), descriptors) << "every X connection closed";
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(viewer, hostWindow, &root, &parent, &children, &count);
    XFree(children);
    EXPECT_EQ(count, 0u) << "no X window left in the host's";
    EXPECT_LT(mallinfo2().uordblks, heap + 256 * 1024) << "the heap stays where it was";
}

TEST_F(Lv2UiTest, TheHostMayCloseTheUiWhileAKnobIsHeld)
{
    openUi();
    bool closed = false;
    ui->onWrite = [&](const Lv2UiHost::Write&) {
        if (!closed) {
            closed = true;
            ui->close();                        // from inside write_function, the knob still held
            XDestroyWindow(viewer, hostWindow); // and the host's window goes with it
            XSync(viewer, False);
        }
    };
    const Point knob = middleOf(phaserRate);
    // Relative moves: the window under the pointer goes in the middle of the drag.
    xdotool({"mousemove", "--window", std::to_string(ui->widget()), std::to_string(knob.h), std::to_string(knob.v),
             "mousedown", "1", "sleep", "0.05", "mousemove_relative", "--", "10", "-10", "sleep", "0.3", "mouseup",
             "1"});
    ASSERT_TRUE(closed);
    const size_t writes = ui->writes.size();
    serveFor(100);
    EXPECT_EQ(ui->writes.size(), writes) << "a closed UI tells the host nothing";
    // The plug-in runs on, and a new UI opens.
    ui.reset();
    hostWindow = XCreateSimpleWindow(viewer, DefaultRootWindow(viewer), 100, 100, 640, 400, 0, 0, 0);
    XMapWindow(viewer, hostWindow);
    XSync(viewer, False);
    openUi();
    EXPECT_TRUE(ui->open());
}

TEST_F(Lv2UiTest, LoadBankAsksTheHostWhereItOffersARequestAndTheBankReachesTheRackAndThePorts)
{
    openUi({true, true, true});
    const Point button = middleOf(1);
    xdotool({"mousemove", "--window", std::to_string(ui->widget()), std::to_string(button.h), std::to_string(button.v),
             "click", "1"});
    ASSERT_EQ(ui->requestedKeys.size(), 1u);
    EXPECT_EQ(ui->requestedKeys[0], plugin->urid(lv2::bankParameterUri));
    // The host's chooser answers through the plug-in.
    ui->writes.clear();
    plugin->setPath(lv2::bankParameterUri, std::string(VOLTARA_SOURCE_DIR) + "/content/Presets/Default.fxb");
    run();
    serveFor(100);
    EXPECT_FALSE(ui->writes.empty()) << "the host's ports take the bank's values";
    for (const Lv2UiHost::Write& write : ui->writes)
        EXPECT_EQ(write.value, rackValue(lv2::controlParameter[write.port - lv2::firstControlPort]));
}

} // namespace
} // namespace voltara::test
