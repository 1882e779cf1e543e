#include "effects/FxModule.h"

#include "effects/TempoSync.h"

#include <cstdio>
#include <cstring>

namespace voltara {

void copyText(char* text, const char* source)
{
    std::strcpy(text, source);
}

void formatText(char* text, const char* format, float value)
{
    std::snprintf(text, FxModule::textSize, format, static_cast<double>(value));
}

FxModule::FxModule(const Description& description) : description_(&description)
{
    for (int32_t slot = 0; slot < slotCount; ++slot)
        params_[slot] = description.defaults[slot];
}

void FxModule::setSampleRate(float) {}

void FxModule::setTempo(double, double) {}

void FxModule::process(float*, int32_t, double) {}

void FxModule::setParameter(int32_t slot, float value)
{
    if (isValidSlot(slot))
        params_[slot] = value;
    if (slot == onSwitch)
        on_ = switchIsOn(value);
}

float FxModule::getParameter(int32_t slot) const
{
    return isValidSlot(slot) ? params_[slot].load() : 0.0f;
}

// Slot -1 names the module, 0 .. 7 the parameters, any other slot nothing.
void FxModule::getParameterName(int32_t slot, char* text) const
{
    if (description_ && slot == -1)
        copyText(text, description_->name);
    else
        copyText(text, description_ && isValidSlot(slot) ? description_->slotNames[slot] : "");
}

void FxModule::getParameterText(int32_t slot, char* text) const
{
    const SlotText* entry = description_ && isValidSlot(slot) ? &description_->texts[slot] : nullptr;
    if (entry && entry->kind == SlotText::onOff)
        copyText(text, switchIsOn(params_[slot]) ? entry->onText : entry->offText);
    else if (entry && entry->kind == SlotText::percent)
        formatText(text, entry->format, params_[slot] * 100.0f);
    else
        copyText(text, "");
}

void FxModule::syncableSlotText(int32_t slot, bool synced, float freeValue, char* text) const
{
    if (!description_ || !isValidSlot(slot) || description_->texts[slot].kind != SlotText::syncable)
        FxModule::getParameterText(slot, text);
    else if (synced)
        copyText(text, TempoSync::moduleText[TempoSync::noteIndex(params_[slot])]);
    else
        formatText(text, description_->texts[slot].format, freeValue);
}

int32_t FxModule::getLfoLamp() const
{
    return 0;
}

void FxModule::reset()
{
    setSampleRate(sampleRate_);
}

void FxModule::storeSampleRate(float rate)
{
    sampleRate_ = rate;
    invSampleRate_ = 1.0f / rate;
}

void FxModule::reapplyParameters()
{
    for (int32_t slot = 0; slot < slotCount; ++slot)
        setParameter(slot, params_[slot]);
}

} // namespace voltara
