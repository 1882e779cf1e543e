#include "plugin/ProgramRecord.h"

namespace voltara {

void ProgramRecord::setName(const char* text)
{
    int32_t i = 0;
    for (; i < programNameSize - 1 && text[i] != '\0'; ++i)
        name_[i] = text[i];
    for (; i < programNameSize; ++i)
        name_[i] = '\0';
}

void ProgramRecord::copyName(char* text) const
{
    for (int32_t i = 0; i < programNameSize; ++i)
        text[i] = name_[i];
}

std::string ProgramRecord::name() const
{
    char text[programNameSize];
    copyName(text);
    return text;
}

} // namespace voltara
