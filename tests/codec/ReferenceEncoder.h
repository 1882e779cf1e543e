#pragma once

#include <cstdint>
#include <vector>

// A deliberately naive encoder of the format (one bit at a time, every
// predictor per sample, the 64-bit float window), written apart from the
// codec's own code, so that the encoder's bytes can be compared with it.
namespace voltara::codec::test {

// Bits appended from the least significant bit of each byte.
class BitSink {
public:
    void bit(uint32_t b);
    void field(uint32_t value, int32_t width);
    void rice(uint32_t magnitude, int32_t k);
    void signedRice(int32_t value, int32_t k);
    void align();
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint64_t count_ = 0;
};

// The compressed stream for file-depth samples (interleaved), ended as the
// ending writeFrames call ends it.
std::vector<uint8_t> referenceStream(int32_t channels, int32_t bits, int32_t rate, const std::vector<int32_t>& samples);

} // namespace voltara::codec::test
