#include "lv2/UserEdits.h"

#include <chrono>

namespace voltara::lv2 {

uint32_t UserEdits::now()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void UserEdits::wrote(int32_t parameter, float value)
{
    if (parameter < 0 || parameter >= int32_t(controlPortCount))
        return;
    Parameter& p = parameters_[parameter];
    const uint32_t slot = p.next.load() % historySize;
    p.values[slot] = value;
    p.times[slot] = now();
    p.next = slot + 1;
}

void UserEdits::hold(int32_t parameter, bool held)
{
    if (parameter >= 0 && parameter < int32_t(controlPortCount))
        parameters_[parameter].held = held;
}

bool UserEdits::isEcho(int32_t parameter, float value) const
{
    if (parameter < 0 || parameter >= int32_t(controlPortCount))
        return false;
    const Parameter& p = parameters_[parameter];
    if (p.held)
        return true;
    const uint32_t at = now();
    for (int32_t slot = 0; slot < historySize; ++slot)
        if (p.values[slot].load() == value && at - p.times[slot].load() < echoMilliseconds)
            return true;
    return false;
}

} // namespace voltara::lv2
