#include "tools/voltara/banks/BankFile.h"

#include "common/ByteOrder.h"
#include "tools/voltara/base/InputFile.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/ToolError.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace voltara {
namespace BankFile {
namespace {

// A bank file is 11164 bytes; a larger file is still read, up to this much.
constexpr std::size_t largestFile = 1 << 20;

using namespace BankFormat;

// The fields that begin the header and every program block.
void putItemHeader(uint8_t* at, int32_t magic, int32_t size, int32_t kind, int32_t count)
{
    putBigEndian32(at + magicOffset, static_cast<uint32_t>(magic));
    putBigEndian32(at + byteCountOffset, static_cast<uint32_t>(size - 8));
    putBigEndian32(at + kindOffset, static_cast<uint32_t>(kind));
    putBigEndian32(at + versionOffset, formatVersion);
    putBigEndian32(at + identifierOffset, static_cast<uint32_t>(rackIdentifier));
    putBigEndian32(at + itemVersionOffset, formatVersion);
    putBigEndian32(at + countOffset, static_cast<uint32_t>(count));
}

void encodeProgram(const BankProgram& program, uint8_t* block)
{
    putItemHeader(block, programMagic, blockSize, programKind, parameterCount);
    std::memcpy(block + nameOffset, program.name.data(), std::min(program.name.size(), programNameLimit));
    for (int i = 0; i < parameterCount; ++i)
        putBigEndianFloat(block + valuesOffset + 4 * i, program.values[i]);
}

BankProgram decodeProgram(const uint8_t* block)
{
    BankProgram program;
    const char* name = reinterpret_cast<const char*>(block + nameOffset);
    program.name.assign(name, strnlen(name, nameFieldSize));
    for (int i = 0; i < parameterCount; ++i)
        program.values[i] = bigEndianFloat(block + valuesOffset + 4 * i);
    return program;
}

} // namespace

std::vector<uint8_t> encode(const Bank& bank)
{
    std::vector<uint8_t> bytes(fileSize, 0);
    putItemHeader(bytes.data(), bankMagic, fileSize, bankKind, programCount);
    for (int p = 0; p < programCount; ++p)
        encodeProgram(bank.programs[p], &bytes[headerSize + p * blockSize]);
    return bytes;
}

Bank decode(const std::vector<uint8_t>& bytes, const std::string& source)
{
    if (bytes.size() < static_cast<size_t>(fileSize))
        throw ToolError(source + ": not a bank file (" + std::to_string(bytes.size()) + " bytes, a bank has "
                        + std::to_string(fileSize) + ")");
    if (bigEndian32(&bytes[identifierOffset]) != static_cast<uint32_t>(rackIdentifier))
        throw ToolError(source + ": not a bank of this plug-in (identifier is not KRfx)");
    Bank bank;
    for (int p = 0; p < programCount; ++p)
        bank.programs[p] = decodeProgram(&bytes[headerSize + p * blockSize]);
    return bank;
}

Bank read(const std::string& path)
{
    const std::string file = readInputFile(path, largestFile, "the bank file");
    return decode(std::vector<uint8_t>(file.begin(), file.end()), path);
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
