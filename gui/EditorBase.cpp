#include "gui/EditorBase.h"

#include "gui/Frame.h"
#include "platform/DragDrop.h"
#include "platform/Input.h"
#include "platform/Window.h"
#include "plugin/host/EffectBaseEx.h"

namespace voltara {

using namespace platform;

namespace {
int32_t knobStyle = 0;
}

EditorBase::EditorBase(EffectBaseEx* plugin) : HostEditor(plugin), plugin_(plugin), nextIdleTime_(GetTickCount())
{
    if (plugin)
        plugin->attachEditor(this);
    OleInitialize(nullptr);
}

EditorBase::~EditorBase()
{
    EditorBase::close();
    OleUninitialize();
}

int32_t EditorBase::getRect(void** rect)
{
    if (rect)
        *rect = &rect_;
    return 1;
}

int32_t EditorBase::open(void* parentWindow)
{
    requestRefresh();
    return HostEditor::open(parentWindow);
}

void EditorBase::close()
{
    HostEditor::close();
    if (Frame* frame = frame_) {
        frame_ = nullptr;
        frame->markClosed();
        frame->dropReference();
    }
}

void EditorBase::idle()
{
    if (inIdleWork_)
        return; // the host's idle, called from runIdleWork
    HostEditor::idle();
    if (frame_)
        frame_->updateIfDirty();
}

int32_t EditorBase::onKeyDown(KeyRecord* key)
{
    if (!frame_)
        return -1;
    Frame* frame = frame_;
    Frame::UserInput input(frame);
    return frame->onKeyDown(key);
}

int32_t EditorBase::onKeyUp(KeyRecord* key)
{
    if (!frame_)
        return -1;
    Frame* frame = frame_;
    Frame::UserInput input(frame);
    return frame->onKeyUp(key);
}

int32_t EditorBase::setKnobStyle(intptr_t mode)
{
    knobStyle = int32_t(mode);
    return 1;
}

int32_t EditorBase::knobMode()
{
    return knobStyle;
}

bool EditorBase::onWheel(float distance)
{
    return frame_ ? frame_->onWheel(nullptr, Point{0, 0}, distance) : false;
}

void EditorBase::draw(EditorRect*)
{
    if (frame_)
        frame_->drawView(nullptr);
}

void EditorBase::runIdleWork()
{
    uint32_t now = GetTickCount();
    if (int32_t(now - nextIdleTime_) < 0) {
        Sleep(4);
        now += 4;
        if (int32_t(nextIdleTime_ - now) > 50)
            return;
    }
    idle();
    Message message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
    nextIdleTime_ = now + 100;
    inIdleWork_ = true;
    if (plugin_)
        plugin_->requestHostIdle();
    inIdleWork_ = false;
}

bool EditorBase::beginGesture(int32_t tag)
{
    return plugin_ && plugin_->beginGesture(tag);
}

bool EditorBase::endGesture(int32_t tag)
{
    return plugin_ && plugin_->endGesture(tag);
}

} // namespace voltara
