#include "plugin/ProgramRecord.h"

#include <cstring>

namespace voltara {

void ProgramRecord::setName(const char* text)
{
    std::strncpy(name, text, programNameSize - 1);
    name[programNameSize - 1] = '\0';
}

} // namespace voltara
