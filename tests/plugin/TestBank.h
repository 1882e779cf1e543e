#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// The bytes of a bank file, laid out by hand so that a test can put anything
// anywhere: 32 programs named "Program N" with every value 0.25.
class TestBank {
public:
    explicit TestBank(const char identifier[4] = "KRfx");

    // name: up to 28 bytes, stored without terminator when it fills them.
    void setName(int program, const std::string& name);
    void setValue(int program, int index, float value);
    void setIdentifier(const char identifier[4]);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    // The first size bytes written to path.
    void save(const std::string& path, size_t size = SIZE_MAX) const;

private:
    std::vector<uint8_t> bytes_;
};

} // namespace voltara
