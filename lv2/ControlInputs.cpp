#include "lv2/ControlInputs.h"

#include <algorithm>
#include <limits>

namespace voltara::lv2 {
namespace {

constexpr float unknown = std::numeric_limits<float>::quiet_NaN();

} // namespace

ControlInputs::ControlInputs()
{
    for (uint32_t port = 0; port < controlPortCount; ++port) {
        taken_[port] = unknown;
        expected_[port] = unknown;
        portOf_[controlParameter[port]] = port;
    }
}

void ControlInputs::send(PluginDescriptor* rack, uint32_t frames, const UserEdits& edits)
{
    for (uint32_t port = 0; port < controlPortCount; ++port) {
        if (ports_[port] == nullptr)
            continue;
        const float value = *ports_[port];
        if (value == taken_[port].load()) // never true for the unknown value
            continue;
        const int32_t parameter = controlParameter[port];
        if ((expectedFrames_ == 0 || value != expected_[port]) && !edits.isEcho(parameter, value))
            rack->setParameter(rack, parameter, value);
        taken_[port] = value;
        expected_[port] = unknown;
    }
    expectedFrames_ -= std::min(frames, expectedFrames_);
}

void ControlInputs::expect(const float* saved, uint32_t frames)
{
    for (uint32_t port = 0; port < controlPortCount; ++port)
        expected_[port] = saved[controlParameter[port]];
    expectedFrames_ = frames;
}

float ControlInputs::taken(int32_t parameter) const
{
    return parameter >= 0 && parameter < int32_t(controlPortCount) ? taken_[portOf_[parameter]].load() : unknown;
}

} // namespace voltara::lv2
