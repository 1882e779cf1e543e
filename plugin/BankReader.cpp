#include "plugin/BankReader.h"

#include "common/ByteOrder.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace voltara {

namespace {

constexpr int32_t identifierOffset = 16;
constexpr int32_t nameOffset = 28;
constexpr int32_t nameFieldSize = 28;
constexpr int32_t valuesOffset = 88; // the values of indices 8 to 71
constexpr int32_t firstBankIndex = 8;

// 'KRfx' and the second identifier accepted, as b16 + b17 + 100 (b18 + b19)
// of the signed identifier bytes.
constexpr int32_t rackChecksum = 22357;
constexpr int32_t legacyChecksum = 10345;

// On switches, sync switches and the two mode switches: a bank value is
// rounded to 0.0 or 1.0 there.
bool isSwitchIndex(int32_t index)
{
    static const int32_t switches[] = {8, 9, 16, 19, 24, 25, 32, 33, 40, 41, 48, 49, 56, 64, 65};
    for (const int32_t candidate : switches) {
        if (candidate == index)
            return true;
    }
    return false;
}

} // namespace

int32_t BankReader::read(const char* path, uint8_t* buffer)
{
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return 0;
    uint8_t header[headerSize];
    size_t bytes = 0;
    if (std::fread(header, 1, headerSize, file) == headerSize && isOurIdentifier(header + identifierOffset))
        bytes = std::fread(buffer, 1, bufferSize, file);
    std::fclose(file);
    return static_cast<int32_t>(bytes / blockSize);
}

bool BankReader::isOurIdentifier(const uint8_t* identifier)
{
    const auto byte = [identifier](int i) { return static_cast<int32_t>(static_cast<int8_t>(identifier[i])); };
    const int32_t checksum = byte(0) + byte(1) + 100 * (byte(2) + byte(3));
    return checksum == rackChecksum || checksum == legacyChecksum;
}

void BankReader::decodeProgram(const uint8_t* block, ProgramRecord& program)
{
    char name[programNameSize] = {};
    const char* stored = reinterpret_cast<const char*>(block + nameOffset);
    for (int32_t i = 0; i < programNameSize - 1 && i < nameFieldSize && stored[i] != '\0'; ++i)
        name[i] = stored[i] == '&' ? '+' : stored[i];
    program.setName(name);

    for (int32_t index = 0; index < firstBankIndex; ++index)
        program.values[index] = 0.0f;
    for (int32_t index = firstBankIndex; index < rackParameterCount; ++index) {
        float value = bigEndianFloat(block + valuesOffset + 4 * (index - firstBankIndex));
        if (!std::isfinite(value))
            value = 0.0f; // would poison every module it reaches
        if (isSwitchIndex(index))
            value = value > 0.5f ? 1.0f : 0.0f;
        program.values[index] = value;
    }
}

} // namespace voltara
