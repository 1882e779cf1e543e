#include "tests/support/FloatWav.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace voltara::test {
namespace {

uint32_t word(const std::vector<char>& bytes, std::size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, &bytes[at], 4);
    return value;
}

void put(std::ofstream& out, uint32_t value, int size)
{
    out.write(reinterpret_cast<const char*>(&value), size);
}

} // namespace

FloatWav FloatWav::read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    FloatWav wav;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id(&bytes[at], 4);
        const std::size_t size = word(bytes, at + 4);
        if (id == "fmt " && at + 16 <= bytes.size()) {
            wav.channels = int(word(bytes, at + 8) >> 16);
            wav.sampleRate = int(word(bytes, at + 12));
        } else if (id == "data") {
            const std::size_t count = std::min(size, bytes.size() - at - 8) / 4;
            wav.samples.resize(count);
            std::memcpy(wav.samples.data(), &bytes[at + 8], count * 4);
        }
        at += 8 + size + (size & 1);
    }
    return wav;
}

void FloatWav::write(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary);
    const uint32_t dataBytes = uint32_t(samples.size() * 4);
    out.write("RIFF", 4);
    put(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    put(out, 16, 4);
    put(out, 3, 2); // IEEE float
    put(out, uint32_t(channels), 2);
    put(out, uint32_t(sampleRate), 4);
    put(out, uint32_t(sampleRate * channels * 4), 4);
    put(out, uint32_t(channels * 4), 2);
    put(out, 32, 2);
    out.write("data", 4);
    put(out, dataBytes, 4);
    out.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(dataBytes));
}

} // namespace voltara::test
