#include "tests/plugin/TestBank.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace voltara {

namespace {

constexpr size_t headerSize = 156;
constexpr size_t blockSize = 344;
constexpr int programCount = 32;
constexpr int parameterCount = 72;

size_t blockStart(int program)
{
    return headerSize + blockSize * size_t(program);
}

} // namespace

TestBank::TestBank(const char identifier[4]) : bytes_(headerSize + blockSize * programCount, 0)
{
    setIdentifier(identifier);
    for (int p = 0; p < programCount; ++p) {
        setName(p, "Program " + std::to_string(p));
        for (int i = 0; i < parameterCount; ++i)
            setValue(p, i, 0.25f);
    }
}

void TestBank::setName(int program, const std::string& name)
{
    uint8_t* field = &bytes_[blockStart(program) + 28];
    std::fill(field, field + 28, 0);
    std::memcpy(field, name.data(), std::min<size_t>(name.size(), 28));
}

void TestBank::setValue(int program, int index, float value)
{
    uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    uint8_t* at = &bytes_[blockStart(program) + 56 + 4 * size_t(index)];
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(word >> (24 - 8 * i));
}

void TestBank::setIdentifier(const char identifier[4])
{
    std::memcpy(&bytes_[16], identifier, 4);
}

void TestBank::save(const std::string& path, size_t size) const
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes_.data()), std::streamsize(std::min(size, bytes_.size())));
}

} // namespace voltara
