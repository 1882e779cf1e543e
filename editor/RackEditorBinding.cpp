#include "editor/LedPanel.h"
#include "editor/RackEditor.h"
#include "gui/Frame.h"
#include "gui/PaintContext.h"
#include "plugin/RackAccess.h"

#include <cmath>

// The two ways between controls and parameters: the user's changes to the
// rack, and the rack's values back to the controls.

namespace voltara {

namespace {

constexpr int32_t wahOnIndex = 8;
constexpr int32_t filterOnIndex = 16;
// A control value below this is a note chosen in a rate display's popup.
constexpr float noteChoiceLimit = -99.0f;
// The rate that sync reads as note n is (n + 0.5) x this.
constexpr float noteStep = 0.063f;

bool isOn(float value)
{
    return value > 0.5f;
}

} // namespace

void RackEditor::setParameter(int32_t index, float)
{
    if (!open_)
        return;
    pending_.mark(index);
    requestRefresh();
}

void RackEditor::refreshAll()
{
    if (!open_)
        return;
    pending_.markAll();
    requestRefresh();
}

void RackEditor::update()
{
    if (frame_)
        pending_.take([this](int32_t index) { showParameter(index); });
}

float RackEditor::displayValue(int32_t displayIndex)
{
    const RateGroup& group = rateGroups[displayIndex];
    const float rate = rack_.getParameter(group.rateIndex);
    const bool free = group.syncIndex < 0 || rack_.getParameter(group.syncIndex) < 0.5f;
    return free ? rate + group.freeOffset : rate;
}

void RackEditor::setControlValue(int32_t row, float value)
{
    if (row >= 0 && controls_[row])
        controls_[row]->setValue(value);
}

void RackEditor::showParameter(int32_t index)
{
    const int32_t display = rateDisplayOf(index);
    if (display < 0) {
        setControlValue(controlRowOf(index), rack_.getParameter(index));
        return;
    }
    // The knob, the display and the sync switch of one module move together.
    const RateGroup& group = rateGroups[display];
    setControlValue(controlRowOf(group.rateIndex), rack_.getParameter(group.rateIndex));
    setControlValue(displayRowOf(display), displayValue(display));
    if (group.syncIndex >= 0)
        setControlValue(controlRowOf(group.syncIndex), rack_.getParameter(group.syncIndex));
}

void RackEditor::onControlChange(PaintContext* context, Control* control)
{
    // Each write tells the host, which may close the editor when it hears of
    // it: what needs the window is then left out.
    Frame* frame = control->getFrame();
    auto stillOpen = [frame] { return frame && frame->isOpen(); };
    const int32_t tag = control->getTag();
    const float value = control->getValue();
    if (value < noteChoiceLimit) {
        chooseNote(value);
    } else {
        if (tag == bankLoadTag && value < 0.5f) {
            control->setDirty(true);
            rack_.setParameterAndNotify(bankLoadTag, 0.0f);
            // Released over the button; a press that slides off it loads nothing.
            Point where;
            if (context)
                context->queryMousePosition(where);
            if (stillOpen() && (!context || control->hitTest(where)))
                runBankDialog();
        } else if (tag == wahOnIndex && isOn(value)) {
            rack_.setParameterAndNotify(filterOnIndex, 0.0f);
        } else if (tag == filterOnIndex && isOn(value)) {
            rack_.setParameterAndNotify(wahOnIndex, 0.0f);
        }
        rack_.setParameterAndNotify(tag, value);
    }
    if (!stillOpen())
        return;
    // This is the window thread: the controls may follow at once.
    update();
    if (context)
        redraw(context, control);
}

void RackEditor::chooseNote(float choice)
{
    const int32_t display = static_cast<int32_t>(choice * -0.01f) - 1;
    const float rate = std::fmod(-choice, 100.0f) * noteStep;
    if (display < 0 || display >= rateDisplayCount || rateGroups[display].syncIndex < 0)
        return; // the reverb has no tempo sync
    rack_.setParameterAndNotify(rateGroups[display].syncIndex, 1.0f);
    rack_.setParameterAndNotify(rateGroups[display].rateIndex, rate);
}

void RackEditor::redraw(PaintContext* context, Control* control)
{
    const bool coversLeds = ledPanel_ && control->isDirty() && ledPanel_->forgetUnder(control->getViewSize());
    control->update(context);
    if (coversLeds)
        ledPanel_->update(context);
}

} // namespace voltara
