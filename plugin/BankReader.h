#pragma once

#include "plugin/ProgramRecord.h"

#include <cstdint>

namespace voltara {

// Bank files as the rack reads them: a 156-byte header naming the plug-in at
// bytes 16 to 19, then 32 program blocks of 344 bytes, numbers big-endian.
// Only the identifier, the program names and the values from index 8 on are
// read; everything else in the file is the writer's business.
class BankReader {
public:
    static constexpr int32_t headerSize = 156;
    static constexpr int32_t blockSize = 344;
    static constexpr int32_t bufferSize = rackProgramCount * blockSize;

    // Reads the program blocks of a bank of this plug-in into buffer
    // (bufferSize bytes). Answers how many whole blocks it holds now; 0 when
    // the file cannot be opened or names another plug-in.
    static int32_t read(const char* path, uint8_t* buffer);
    // 'KRfx', and a second identifier with the same checksum that stored
    // banks may carry.
    static bool isOurIdentifier(const uint8_t* identifier);
    // Turns one program block into a program. Indices 0 to 7 (Bypass and the
    // tone group) are not taken from banks: they become 0.0.
    static void decodeProgram(const uint8_t* block, ProgramRecord& program);
};

} // namespace voltara
