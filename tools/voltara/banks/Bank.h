#pragma once

#include "plugin/BankFormat.h"

#include <array>
#include <string>

namespace voltara {

constexpr int bankProgramCount = BankFormat::programCount;
constexpr int bankParameterCount = BankFormat::parameterCount;
// Characters of a program name that the plug-in keeps.
constexpr std::size_t programNameLimit = programNameSize - 1;

struct BankProgram {
    std::string name;
    std::array<float, bankParameterCount> values{}; // 0 .. 1 each, by parameter index
};

// The 32 programs of a bank file.
struct Bank {
    std::array<BankProgram, bankProgramCount> programs;
};

} // namespace voltara
