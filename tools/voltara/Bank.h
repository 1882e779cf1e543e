#pragma once

#include <array>
#include <string>

namespace voltara {

constexpr int bankProgramCount = 32;
constexpr int bankParameterCount = 72;
// Characters of a program name that the plug-in keeps.
constexpr std::size_t programNameLimit = 23;

struct BankProgram {
    std::string name;
    std::array<float, bankParameterCount> values{}; // 0 .. 1 each, by parameter index
};

// The 32 programs of a bank file.
struct Bank {
    std::array<BankProgram, bankProgramCount> programs;
};

} // namespace voltara
