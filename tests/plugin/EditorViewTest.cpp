#include "plugin/RackAccess.h"
#include "plugin/RackPlugin.h"
#include "plugin/host/HostEditor.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tools/pluginhost/HostCalls.h"
#include "tools/pluginhost/MidiBatch.h"

#include <gtest/gtest.h>

#include <vector>

namespace voltara {
namespace {

// An editor that counts what reaches it; the rack owns and deletes it.
struct CountingEditor : HostEditor {
    explicit CountingEditor(EffectBase* effect) : HostEditor(effect) { effect->attachEditor(this); }
    void update() override { ++updates; }
    void refreshAll() override { ++refreshes; }
    int32_t updates = 0;
    int32_t refreshes = 0;
};

// A rack without installed content and an editor attached to it, idle.
struct EditorView : ::testing::Test {
    EditorView()
    {
        host.attach(rack.descriptor(), true);
        host.recordCalls = true;
        host.respond = [](const pluginhost::HostCalls::Call& call, void*) -> std::optional<intptr_t> {
            return call.opcode == hostVersion || call.opcode == hostCapability || call.opcode == hostOpenFileSelector
                       ? 1
                       : 0;
        };
        editor->idle();
        editor->updates = 0;
        host.calls.clear();
    }

    void programChange(uint8_t program) { pluginhost::sendMidi(rack.descriptor(), 0xc0, program, 0); }

    TempFolder folder;
    ScopedEnvironment emptyStore{"VOLTARA_REGISTRY", folder.file("registry").c_str()};
    pluginhost::HostCalls host;
    pluginhost::HostCalls::Opening opening{host}; // the rack's calls while it is made
    RackPlugin rack{&pluginhost::HostCalls::callback};
    CountingEditor* editor = new CountingEditor(&rack);
};

TEST_F(EditorView, AMidiProgramChangeReachesTheEditorOnlyAtItsNextIdle)
{
    programChange(5);
    EXPECT_EQ(rack.getProgram(), 5);
    EXPECT_EQ(editor->refreshes, 0) << "the audio thread never calls into the editor";
    editor->idle();
    EXPECT_EQ(editor->refreshes, 1);
    EXPECT_EQ(editor->updates, 1);
    editor->idle();
    EXPECT_EQ(editor->refreshes, 1);
    EXPECT_EQ(editor->updates, 1);
}

TEST_F(EditorView, AParameterChangeAsksForOneUpdate)
{
    rack.setParameter(10, 0.3f);
    rack.setParameter(11, 0.4f);
    editor->idle();
    editor->idle();
    EXPECT_EQ(editor->updates, 1);
    EXPECT_EQ(editor->refreshes, 0);
}

TEST_F(EditorView, TheEditorsViewReachesTheRackAndItsHost)
{
    RackAccess& view = rack;
    view.setParameterAndNotify(26, 0.3f);
    EXPECT_EQ(rack.getParameter(26), 0.3f);
    EXPECT_EQ(view.getParameter(26), 0.3f);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, hostAutomate);
    EXPECT_EQ(host.calls[0].index, 26);
    EXPECT_EQ(host.calls[0].opt, 0.3f);

    char capability[] = "openFileSelector";
    EXPECT_TRUE(view.askHostCapability(capability));
    EXPECT_FALSE(view.openFileSelector(nullptr));
    EXPECT_EQ(host.calls.back().opcode, hostCapability);

    EXPECT_TRUE(view.contentMissing());
    EXPECT_STREQ(view.lastBankPath(), "");
    EXPECT_EQ(view.loadBankFile(folder.file("missing.fxb").c_str()), 0);
    rack.setParameter(onSwitchIndex(slotTremolo), 1.0f);
    EXPECT_EQ(view.getLedState(), rack.getLedState());
}

} // namespace
} // namespace voltara
