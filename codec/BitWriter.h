#pragma once

#include <cstdint>

#include "codec/CodecInterface.h"

// Writes the compressed Kestrelwave stream through the host's writeAt, filling
// each byte from its least significant bit. Bits gather in one 64-bit
// accumulator; whole 32-bit words move into a 16000-byte buffer, which goes to
// the file in exactly one place (flush) when it is full or at the end.
namespace voltara::codec {

class BitWriter {
public:
    static constexpr int32_t bufferBytes = 16000;

    // `io` must outlive the writer.
    void open(const HostIoCallbacks& io, FileHandle file, int64_t position);

    // The low `width` (0 .. 32) bits of value.
    void writeBits(uint32_t value, int32_t width)
    {
        const uint64_t masked = width == 32 ? value : value & ((uint32_t{1} << width) - 1);
        accumulator_ |= masked << accumulatorBits_;
        accumulatorBits_ += width;
        if (accumulatorBits_ >= 32)
            moveWord();
    }

    // Rice code with parameter k (0 .. 32): q = m >> k zero bits, a 1 bit, the low k bits.
    void writeRice(uint32_t magnitude, int32_t k)
    {
        const uint64_t q = k >= 32 ? 0 : magnitude >> k;
        if (q + 1 + static_cast<uint32_t>(k) <= 32) {
            const uint64_t remainder = k >= 32 ? magnitude : magnitude & ((uint32_t{1} << k) - 1);
            writeBits(static_cast<uint32_t>((uint64_t{1} << q) | (remainder << (q + 1))),
                      static_cast<int32_t>(q) + 1 + k);
            return;
        }
        writeZeros(q);
        writeBits(1, 1);
        writeBits(magnitude, k);
    }

    // Signed Rice code: the magnitude's code, then the sign bit (1 = negative).
    void writeSignedRice(int32_t value, int32_t k)
    {
        const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
        const uint32_t sign = value < 0 ? 1 : 0;
        const uint64_t q = k >= 32 ? 0 : magnitude >> k;
        if (q + 2 + static_cast<uint32_t>(k) <= 32) {
            const uint64_t remainder = k >= 32 ? magnitude : magnitude & ((uint32_t{1} << k) - 1);
            const uint64_t code = (uint64_t{1} << q) | (remainder << (q + 1)) | (uint64_t{sign} << (q + 1 + k));
            writeBits(static_cast<uint32_t>(code), static_cast<int32_t>(q) + 2 + k);
            return;
        }
        writeRice(magnitude, k);
        writeBits(sign, 1);
    }

    void writeZeros(uint64_t count);

    // Pads the last byte with 0 bits.
    void alignToByte()
    {
        const int32_t partial = accumulatorBits_ & 7;
        if (partial != 0)
            writeBits(0, 8 - partial);
    }

    // Moves the whole bytes gathered so far to the file (call after alignToByte).
    bool finish();

    bool failed() const { return failed_; }
    int64_t position() const { return position_; }         // file offset of the next flushed byte
    int64_t bytesFlushed() const { return bytesFlushed_; } // compressed bytes written so far

private:
    void moveWord();
    bool flush(); // the one flush path

    const HostIoCallbacks* io_ = nullptr;
    FileHandle file_ = nullptr;
    int64_t position_ = 0;
    int64_t bytesFlushed_ = 0;
    uint64_t accumulator_ = 0;
    int32_t accumulatorBits_ = 0;
    int32_t bufferedBytes_ = 0;
    bool failed_ = false;
    uint8_t buffer_[bufferBytes];
};

} // namespace voltara::codec
