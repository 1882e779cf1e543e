#pragma once

#include "common/Relaxed.h"
#include "plugin/RackParameters.h"

#include <cstdint>
#include <string>

namespace voltara {

constexpr int32_t rackProgramCount = 32;
constexpr int32_t programNameSize = 24; // 23 characters and the terminator

// One program: every parameter value of the rack and a name. Values and
// name characters are single relaxed stores: the host renames and reads
// programs on its thread while a bank load on the window thread rewrites
// them. A reader racing a writer may see a mix of the two names, never a name
// without its end.
struct ProgramRecord {
    Relaxed<float> values[rackParameterCount]{};

    ProgramRecord() { setName(" "); }

    // Copies at most 23 characters and always terminates.
    void setName(const char* text);
    // Writes the name and its terminator into text (programNameSize bytes).
    void copyName(char* text) const;
    std::string name() const;

private:
    Relaxed<char> name_[programNameSize]{};
};

} // namespace voltara
