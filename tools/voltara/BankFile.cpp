#include "tools/voltara/BankFile.h"

#include "tools/voltara/PendingFile.h"
#include "tools/voltara/ToolError.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace voltara {
namespace BankFile {
namespace {

constexpr std::size_t identifierOffset = 16;
constexpr std::size_t nameOffset = 28;
constexpr std::size_t nameFieldSize = 28;
constexpr std::size_t valuesOffset = 56;
constexpr uint32_t formatVersion = 1;

uint32_t code(const char (&text)[5])
{
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) | (uint32_t(uint8_t(text[2])) << 8)
           | uint32_t(uint8_t(text[3]));
}

void putWord(uint8_t* at, uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(word >> (24 - 8 * i));
}

uint32_t getWord(const uint8_t* at)
{
    return (uint32_t(at[0]) << 24) | (uint32_t(at[1]) << 16) | (uint32_t(at[2]) << 8) | at[3];
}

void putFloat(uint8_t* at, float value)
{
    uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    putWord(at, word);
}

float getFloat(const uint8_t* at)
{
    const uint32_t word = getWord(at);
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

void encodeProgram(const BankProgram& program, uint8_t* block)
{
    putWord(block, code("MoxR"));
    putWord(block + 4, programBlockSize - 8);
    putWord(block + 8, code("MxPg"));
    putWord(block + 12, formatVersion);
    putWord(block + identifierOffset, code("KRfx"));
    putWord(block + 20, formatVersion);
    putWord(block + 24, bankParameterCount);
    std::memcpy(block + nameOffset, program.name.data(), std::min(program.name.size(), programNameLimit));
    for (int i = 0; i < bankParameterCount; ++i)
        putFloat(block + valuesOffset + 4 * i, program.values[i]);
}

BankProgram decodeProgram(const uint8_t* block)
{
    BankProgram program;
    const char* name = reinterpret_cast<const char*>(block + nameOffset);
    program.name.assign(name, strnlen(name, nameFieldSize));
    for (int i = 0; i < bankParameterCount; ++i)
        program.values[i] = getFloat(block + valuesOffset + 4 * i);
    return program;
}

} // namespace

std::vector<uint8_t> encode(const Bank& bank)
{
    std::vector<uint8_t> bytes(fileSize, 0);
    putWord(&bytes[0], code("MoxB"));
    putWord(&bytes[4], fileSize - 8);
    putWord(&bytes[8], code("MxBk"));
    putWord(&bytes[12], formatVersion);
    putWord(&bytes[identifierOffset], code("KRfx"));
    putWord(&bytes[20], formatVersion);
    putWord(&bytes[24], bankProgramCount);
    for (int p = 0; p < bankProgramCount; ++p)
        encodeProgram(bank.programs[p], &bytes[headerSize + p * programBlockSize]);
    return bytes;
}

Bank decode(const std::vector<uint8_t>& bytes, const std::string& source)
{
    if (bytes.size() < fileSize)
        throw ToolError(source + ": not a bank file (" + std::to_string(bytes.size()) + " bytes, a bank has "
                        + std::to_string(fileSize) + ")");
    if (getWord(&bytes[identifierOffset]) != code("KRfx"))
        throw ToolError(source + ": not a bank of this plug-in (identifier is not KRfx)");
    Bank bank;
    for (int p = 0; p < bankProgramCount; ++p)
        bank.programs[p] = decodeProgram(&bytes[headerSize + p * programBlockSize]);
    return bank;
}

Bank read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ToolError("cannot open " + path + ": " + std::strerror(errno));
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return decode(bytes, path);
}

void write(const Bank& bank, const std::string& path)
{
    PendingFile file(path);
    const std::vector<uint8_t> bytes = encode(bank);
    {
        std::ofstream out(file.temporaryPath(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (!out)
            throw ToolError("cannot write " + path + ": " + std::strerror(errno));
    }
    file.commit();
}

} // namespace BankFile
} // namespace voltara
