#include "plugin/BankReader.h"

#include "common/ByteOrder.h"
#include "platform/RegularFile.h"

#include <cstring>

namespace voltara {

int32_t BankReader::read(const char* path, uint8_t* buffer)
{
    uint8_t file[BankFormat::fileSize];
    const int64_t bytes = readRegularFile(path, file, sizeof file);
    if (bytes < BankFormat::headerSize || !BankFormat::isOurIdentifier(file + BankFormat::identifierOffset))
        return 0;
    const int64_t blockBytes = bytes - BankFormat::headerSize;
    std::memcpy(buffer, file + BankFormat::headerSize, static_cast<size_t>(blockBytes));
    return static_cast<int32_t>(blockBytes / BankFormat::blockSize);
}

void BankReader::decodeProgram(const uint8_t* block, ProgramRecord& program)
{
    char name[programNameSize];
    BankFormat::loadedName(reinterpret_cast<const char*>(block + BankFormat::nameOffset), BankFormat::nameFieldSize,
                           name);
    program.setName(name);
    for (int32_t index = 0; index < rackParameterCount; ++index) {
        const float stored = bigEndianFloat(block + BankFormat::valuesOffset + 4 * index);
        program.values[index] = BankFormat::loadedValue(index, stored);
    }
}

} // namespace voltara
