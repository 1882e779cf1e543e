#include "plugin/BankReader.h"

#include "common/ByteOrder.h"

#include <cstdio>

namespace voltara {

int32_t BankReader::read(const char* path, uint8_t* buffer)
{
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return 0;
    uint8_t header[BankFormat::headerSize];
    size_t bytes = 0;
    if (std::fread(header, 1, sizeof header, file) == sizeof header
        && BankFormat::isOurIdentifier(header + BankFormat::identifierOffset))
        bytes = std::fread(buffer, 1, bufferSize, file);
    std::fclose(file);
    return static_cast<int32_t>(bytes / BankFormat::blockSize);
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
