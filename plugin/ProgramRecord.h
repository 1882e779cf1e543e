#pragma once

#include "common/Relaxed.h"
#include "plugin/RackParameters.h"

#include <cstdint>

namespace voltara {

constexpr int32_t rackProgramCount = 32;
constexpr int32_t programNameSize = 24; // 23 characters and the terminator

// One program: every parameter value of the rack and a name.
struct ProgramRecord {
    Relaxed<float> values[rackParameterCount]{};
    char name[programNameSize] = " ";

    // Copies at most 23 characters and always terminates.
    void setName(const char* text);
};

} // namespace voltara
