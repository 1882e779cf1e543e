#include "FxModule.h"

#include <cstring>

namespace voltara {

void copyText(char* text, const char* source)
{
    std::strcpy(text, source);
}

void FxModule::setSampleRate(float) {}

void FxModule::setTempo(double, double) {}

void FxModule::process(float*, int32_t, double) {}

void FxModule::setParameter(int32_t slot, float value)
{
    if (isValidSlot(slot))
        params[slot] = value;
}

float FxModule::getParameter(int32_t slot) const
{
    return isValidSlot(slot) ? params[slot].load() : 0.0f;
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

} // namespace voltara
