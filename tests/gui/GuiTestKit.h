#pragma once

#include "gui/Control.h"
#include "gui/EditorBase.h"
#include "gui/Frame.h"
#include "gui/PaintContext.h"
#include "gui/View.h"
#include "platform/linux/Host.h"
#include "plugin/host/EffectBaseEx.h"
#include "tools/pluginhost/HostCalls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace voltara::test {

// A plug-in as small as an editor needs. Its host records every call and
// answers each (but the version) with 1.
class TestPlugin : public EffectBaseEx {
public:
    TestPlugin();
    void processAccumulating(float**, float**, int32_t) override {}

    static pluginhost::HostCalls host;
    // Runs inside the host callback, after the call is recorded.
    static std::function<void(TestPlugin*, int32_t opcode)> onHostCall;
};

// An editor whose frame has the given size and background, filled by `build`.
class TestEditor : public EditorBase {
public:
    TestEditor(TestPlugin* plugin, const Rect& size, GuiBitmap* background = nullptr);
    ~TestEditor() override;

    int32_t open(void* parentWindow) override;
    void update() override { ++updates; }

    std::function<void(Frame*)> build;
    int updates = 0;

private:
    Rect size_;
    GuiBitmap* background_;
};

// A view that records what reaches it and draws itself as one colour.
class ProbeView : public View {
public:
    ProbeView(const Rect& size, Colour colour, std::vector<std::string>* log = nullptr, std::string name = "")
        : View(size), colour_(colour), log_(log), name_(std::move(name))
    {
    }
    void draw(PaintContext* context) override;
    void mouse(PaintContext* context, Point where) override;
    bool onDrop(char** items, int32_t count, int32_t type, Point where) override;
    int32_t onKeyDown(KeyRecord* key) override;
    bool onWheel(PaintContext* context, Point where, float distance) override;
    void dropFocus(PaintContext* context) override;

    int draws = 0;
    Point lastWhere;
    std::vector<std::string> dropped;
    int32_t droppedType = -1;
    int32_t droppedCount = 0;
    int32_t keyAnswer = -1;

private:
    void record(const std::string& what);
    Colour colour_;
    std::vector<std::string>* log_;
    std::string name_;
};

// Records every change a control reports.
class RecordingObserver : public ControlObserver {
public:
    struct Change {
        Control* control;
        float value;
        bool hadContext;
    };
    void onControlChange(PaintContext* context, Control* control) override
    {
        changes.push_back({control, control->getValue(), context != nullptr});
    }
    std::vector<float> values() const;
    // The values with repeats in a row left out: a control reports on every
    // pass of its drag loop until the idle work has drawn the change.
    std::vector<float> distinct() const;
    std::vector<Change> changes;
};

// The colour (0xRRGGBB) of image k of the test strips: never white, the
// transparent colour.
uint32_t stripColour(int image);
// Registers a strip of `count` solid images of width x imageHeight as bitmap
// resource `id` (8-bit, run-length coded); the bitmap, referenced once.
GuiBitmap* makeStrip(int id, int width, int imageHeight, int count);

// One parent window of the editor's size on a simulated clock, and an
// open editor in it.
struct GuiTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;
    // Creates and opens the editor; `build` fills its frame.
    void openEditor(std::function<void(Frame*)> build, GuiBitmap* background = nullptr);
    Frame* frame() const { return editor ? editor->getFrame() : nullptr; }
    platform::WinPoint screen(int x, int y) const;
    // Clicks at (x, y) of the frame with the buttons given and releases.
    void click(int x, int y, uint32_t held = platform::host::leftButton);
    // One step of a scripted mouse: at t ms the mouse is at (x, y) of the frame.
    platform::host::InputEvent at(uint32_t time, int x, int y, uint32_t held) const
    {
        return platform::host::at(time, screen(x, y), held);
    }
    void play(const std::vector<platform::host::InputEvent>& script)
    {
        platform::host::play(script);
        platform::host::runScript();
    }
    // The frame's pixel at (x, y), 0xRRGGBB.
    uint32_t pixel(int x, int y) const;

    platform::Window parent = nullptr;
    TestPlugin* plugin = nullptr;
    TestEditor* editor = nullptr;
};

} // namespace voltara::test
