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

void nameText(int32_t slot, const char* moduleName, const char* const (&slotNames)[FxModule::slotCount], char* text)
{
    if (slot == -1)
        copyText(text, moduleName);
    else
        copyText(text, FxModule::isValidSlot(slot) ? slotNames[slot] : "");
}

FxModule::FxModule(const float (&defaults)[slotCount])
{
    for (int32_t slot = 0; slot < slotCount; ++slot)
        params_[slot] = defaults[slot];
}

void FxModule::setSampleRate(float) {}

void FxModule::setTempo(double, double) {}

void FxModule::process(float*, int32_t, double) {}

void FxModule::setParameter(int32_t slot, float value)
{
    if (isValidSlot(slot))
        params_[slot] = value;
}

float FxModule::getParameter(int32_t slot) const
{
    return isValidSlot(slot) ? params_[slot].load() : 0.0f;
}

void FxModule::getParameterName(int32_t, char* text) const
{
    copyText(text, "");
}

void FxModule::getParameterText(int32_t, char* text) const
{
    copyText(text, "");
}

int32_t FxModule::getLfoLamp() const
{
    return 0;
}

void FxModule::switchText(float value, char* text)
{
    copyText(text, switchIsOn(value) ? "ON" : "OFF");
}

void FxModule::noteText(float value, char* text)
{
    copyText(text, TempoSync::moduleText[TempoSync::noteIndex(value)]);
}

void FxModule::syncableText(bool synced, float knob, const char* format, float freeValue, char* text)
{
    if (synced)
        noteText(knob, text);
    else
        formatText(text, format, freeValue);
}

void FxModule::percentText(int32_t slot, const char* format, char* text) const
{
    formatText(text, format, params_[slot] * 100.0f);
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
