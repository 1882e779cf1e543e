#include "plugin/host/HostEditor.h"

#include "plugin/host/EffectBase.h"

namespace voltara {

int32_t HostEditor::getRect(void** rect)
{
    if (rect)
        *rect = nullptr;
    return 0;
}

int32_t HostEditor::open(void* parentWindow)
{
    systemWindow_ = parentWindow;
    return 0;
}

void HostEditor::close()
{
    systemWindow_ = nullptr;
}

HostEditor::InputScope::InputScope(HostEditor* editor) : editor_(editor)
{
    if (editor_)
        ++editor_->inputDepth_;
}

HostEditor::InputScope::~InputScope()
{
    if (editor_ && --editor_->inputDepth_ == 0 && editor_->effectClosed_)
        delete editor_->effect_; // and with it this editor
}

void HostEditor::idle()
{
    runPendingUpdates();
}

void HostEditor::runPendingUpdates()
{
    if (refreshAllPending_.exchange(false))
        refreshAll();
    if (updatePending_.exchange(false))
        update();
}

int32_t HostEditor::onKeyDown(KeyRecord*)
{
    return -1;
}

int32_t HostEditor::onKeyUp(KeyRecord*)
{
    return -1;
}

int32_t HostEditor::setKnobStyle(intptr_t)
{
    return 0;
}

bool HostEditor::onWheel(float)
{
    return false;
}

void HostEditor::setParameter(int32_t, float)
{
    requestRefresh();
}

} // namespace voltara
