#include "plugin/RackPlugin.h"

#include <cstring>

namespace voltara {

bool RackPlugin::getOutputInfo(int32_t index, OutputInfo* info)
{
    if (index < 0 || index > 1)
        return false;
    std::strcpy(info->label, "Gtr FX");
    info->flags = 3;
    return true;
}

bool RackPlugin::getEffectName(char* text)
{
    std::strcpy(text, "AW Voltara FX");
    return true;
}

bool RackPlugin::getVendorName(char* text)
{
    std::strcpy(text, "Quillet / Brenmark");
    return true;
}

bool RackPlugin::getProductName(char* text)
{
    std::strcpy(text, "AW Voltara FX");
    return true;
}

bool RackPlugin::askHostCapability(char* text)
{
    return EffectBaseEx::askHostCapability(text);
}

bool RackPlugin::openFileSelector(void* record)
{
    return EffectBaseEx::openFileSelector(record);
}

int32_t RackPlugin::answerCapability(const char* text)
{
    return std::strcmp(text, "receiveMoxEvents") == 0 || std::strcmp(text, "receiveMoxMidiEvent") == 0 ? 1 : -1;
}

} // namespace voltara
