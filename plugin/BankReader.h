#pragma once

#include "plugin/BankFormat.h"
#include "plugin/ProgramRecord.h"

#include <cstdint>

namespace voltara {

// Reads bank files (see BankFormat) into the rack's programs. Only the
// identifier, the program names and the values from index 8 on are read.
class BankReader {
public:
    static constexpr int32_t bufferSize = BankFormat::programCount * BankFormat::blockSize;

    // Reads the program blocks of a bank of this plug-in into buffer
    // (bufferSize bytes). Answers how many whole blocks it holds now; 0 when
    // the file is no regular file that can be read or names another plug-in.
    static int32_t read(const char* path, uint8_t* buffer);
    // Turns one program block into a program, by the bank load rules.
    static void decodeProgram(const uint8_t* block, ProgramRecord& program);
};

} // namespace voltara
