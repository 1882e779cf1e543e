#include "tests/gui/GuiTestKit.h"

#include "platform/Input.h"

namespace voltara::test {
namespace {

namespace host = platform::host;

class EditorBaseTest : public GuiTest {};

TEST_F(EditorBaseTest, TheHostSeesTheEditorThroughTheDescriptor)
{
    plugin = new TestPlugin;
    EXPECT_EQ(plugin->dispatch(opEditorGetRect, 0, 0, nullptr, 0.0f), 0) << "no editor yet";
    EXPECT_EQ(plugin->descriptor()->flags & DescriptorFlag::hasEditor, 0);
    editor = new TestEditor(plugin, {0, 0, 600, 354});
    EXPECT_NE(plugin->descriptor()->flags & DescriptorFlag::hasEditor, 0);

    void* rect = nullptr;
    EXPECT_EQ(plugin->dispatch(opEditorGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    const auto* size = static_cast<EditorBase::EditorRect*>(rect);
    EXPECT_EQ(size->bottom, 354);
    EXPECT_EQ(size->right, 600);
    EXPECT_EQ(plugin->dispatch(opEditorKeyDown, 'a', 65, nullptr, 0.0f), -1) << "closed: nobody handles keys";
    EXPECT_EQ(plugin->dispatch(opEditorKnobStyle, 0, 2, nullptr, 0.0f), 1);
    EXPECT_EQ(EditorBase::knobMode(), 2);
    plugin->dispatch(opEditorKnobStyle, 0, 0, nullptr, 0.0f);

    EXPECT_EQ(plugin->dispatch(opEditorOpen, 0, 0, parent, 0.0f), 1);
    EXPECT_NE(editor->getFrame(), nullptr);
    plugin->dispatch(opEditorIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor->updates, 1) << "open asks for one update";
    plugin->dispatch(opEditorIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor->updates, 1);
    plugin->dispatch(opEditorClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST_F(EditorBaseTest, IdleWorkTwiceWithinTenMillisecondsRunsOnce)
{
    openEditor([](Frame*) {});
    const uint32_t start = platform::GetTickCount();
    editor->runIdleWork();
    EXPECT_EQ(TestPlugin::host.countCalls(hostIdle), 1);
    EXPECT_EQ(platform::GetTickCount(), start) << "the first call is due and does not sleep";
    platform::Sleep(5);
    editor->runIdleWork();
    EXPECT_EQ(TestPlugin::host.countCalls(hostIdle), 1);
    EXPECT_EQ(platform::GetTickCount(), start + 9) << "the second call sleeps 4 ms and returns";
    platform::Sleep(50);
    editor->runIdleWork(); // 59 + 4 ms after the first: within 50 ms of the next turn
    EXPECT_EQ(TestPlugin::host.countCalls(hostIdle), 2);
}

TEST_F(EditorBaseTest, AnIdleCallFromInsideTheHostsIdleReturnsAtOnce)
{
    ProbeView* view = nullptr;
    openEditor([&](Frame* f) {
        view = new ProbeView({0, 0, 10, 10}, colours::red);
        f->addView(view);
    });
    host::pumpMessages();
    editor->idle();
    const int updates = editor->updates;
    int nested = 0;
    TestPlugin::onHostCall = [&](TestPlugin* p, int32_t opcode) {
        if (opcode == hostIdle) {
            ++nested;
            view->setDirty(true);
            editor->requestRefresh();
            p->dispatch(opEditorIdle, 0, 0, nullptr, 0.0f);
        }
    };
    editor->runIdleWork();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(editor->updates, updates) << "the nested idle did nothing";
    EXPECT_EQ(view->draws, 1);
    TestPlugin::onHostCall = nullptr;
    editor->idle();
    EXPECT_EQ(view->draws, 2);
}

TEST_F(EditorBaseTest, GesturesReachTheHostAsCalls43And44)
{
    openEditor([](Frame*) {});
    frame()->beginGesture(26);
    frame()->endGesture(26);
    ASSERT_GE(TestPlugin::host.calls.size(), 2u);
    const auto& calls = TestPlugin::host.calls;
    EXPECT_EQ(calls[calls.size() - 2].opcode, hostBeginGesture);
    EXPECT_EQ(calls[calls.size() - 2].index, 26);
    EXPECT_EQ(calls.back().opcode, hostEndGesture);
}

} // namespace
} // namespace voltara::test
