#include "tests/plugin/TestBank.h"

#include "common/ByteOrder.h"
#include "plugin/BankFormat.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace voltara {

namespace {

size_t blockStart(int program)
{
    return BankFormat::headerSize + BankFormat::blockSize * size_t(program);
}

} // namespace

TestBank::TestBank(const char identifier[4]) : bytes_(BankFormat::fileSize, 0)
{
    setIdentifier(identifier);
    for (int p = 0; p < BankFormat::programCount; ++p) {
        setName(p, "Program " + std::to_string(p));
        for (int i = 0; i < BankFormat::parameterCount; ++i)
            setValue(p, i, 0.25f);
    }
}

void TestBank::setName(int program, const std::string& name)
{
    uint8_t* field = &bytes_[blockStart(program) + BankFormat::nameOffset];
    std::fill(field, field + BankFormat::nameFieldSize, 0);
    std::memcpy(field, name.data(), std::min<size_t>(name.size(), BankFormat::nameFieldSize));
}

void TestBank::setValue(int program, int index, float value)
{
    putBigEndianFloat(&bytes_[blockStart(program) + BankFormat::valuesOffset + 4 * size_t(index)], value);
}

void TestBank::setIdentifier(const char identifier[4])
{
    std::memcpy(&bytes_[BankFormat::identifierOffset], identifier, 4);
}

void TestBank::save(const std::string& path, size_t size) const
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes_.data()), std::streamsize(std::min(size, bytes_.size())));
}

} // namespace voltara
