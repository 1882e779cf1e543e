#pragma once

#include <cstdint>
#include <cstring>

#include "codec/CodecInterface.h"

// Writes the compressed Kestrelwave stream through the host's writeAt, filling
// each byte from its least significant bit. Bits gather in one 64-bit
// accumulator; whole 32-bit words move into a 16000-byte buffer, which goes to
// the file in exactly one place (flush) when it is full or at the end.
namespace voltara::codec {

class BitWriter {
public:
    static constexpr int32_t bufferBytes = 16000;

    // The bits not yet in the buffer, the first in the lowest place, fewer
    // than 32 between writes: an encoding loop keeps it in a local (take,
    // write through it, put back) so that it stays in a register.
    struct Accumulator {
        uint64_t bits;
        int32_t count;
    };

    // `io` must outlive the writer.
    void open(const HostIoCallbacks& io, FileHandle file, int64_t position);

    Accumulator take() const { return accumulator_; }
    void put(Accumulator accumulator) { accumulator_ = accumulator; }

    // The low `width` (0 .. 32) bits of value.
    void writeBits(Accumulator& a, uint32_t value, int32_t width)
    {
        const uint64_t masked = value & ((uint64_t{1} << width) - 1);
        a.bits |= masked << a.count;
        a.count += width;
        if (a.count >= 32)
            moveWord(a);
    }

    // Rice code with parameter k (0 .. 32): q = m >> k zero bits, a 1 bit, the low k bits.
    void writeRice(Accumulator& a, uint32_t magnitude, int32_t k)
    {
        const uint64_t q = uint64_t{magnitude} >> k;
        if (q + 1 + static_cast<uint32_t>(k) <= 32) {
            const uint64_t remainder = magnitude & ((uint64_t{1} << k) - 1);
            writeBits(a, static_cast<uint32_t>((uint64_t{1} << q) | (remainder << (q + 1))),
                      static_cast<int32_t>(q) + 1 + k);
            return;
        }
        writeZeros(a, q);
        writeBits(a, 1, 1);
        writeBits(a, magnitude, k);
    }

    // Signed Rice code: the magnitude's code, then the sign bit (1 = negative).
    void writeSignedRice(Accumulator& a, int32_t value, int32_t k)
    {
        const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
        const uint64_t sign = static_cast<uint32_t>(value) >> 31;
        const uint64_t q = uint64_t{magnitude} >> k;
        if (q + 2 + static_cast<uint32_t>(k) <= 32) {
            const uint64_t remainder = magnitude - (q << k);
            // q zeros, the 1 that ends them, the remainder, the sign.
            const uint64_t code = ((sign << k | remainder) << 1 | 1) << q;
            a.bits |= code << a.count;
            a.count += static_cast<int32_t>(q) + 2 + k;
            if (a.count >= 32)
                moveWord(a);
            return;
        }
        writeRice(a, magnitude, k);
        writeBits(a, static_cast<uint32_t>(sign), 1);
    }

    void writeZeros(Accumulator& a, uint64_t count);

    // The same writes on the writer's own accumulator.
    void writeBits(uint32_t value, int32_t width) { writeBits(accumulator_, value, width); }
    void writeRice(uint32_t magnitude, int32_t k) { writeRice(accumulator_, magnitude, k); }
    void writeSignedRice(int32_t value, int32_t k) { writeSignedRice(accumulator_, value, k); }
    void writeZeros(uint64_t count) { writeZeros(accumulator_, count); }

    // Pads the last byte with 0 bits.
    void alignToByte()
    {
        const int32_t partial = accumulator_.count & 7;
        if (partial != 0)
            writeBits(0, 8 - partial);
    }

    // Moves the whole bytes gathered so far to the file (call after alignToByte).
    bool finish();

    bool failed() const { return failed_; }
    int64_t position() const { return position_; }         // file offset of the next flushed byte
    int64_t bytesFlushed() const { return bytesFlushed_; } // compressed bytes written so far

private:
    // The accumulator's first 32 bits into the buffer.
    void moveWord(Accumulator& a)
    {
        if (bufferedBytes_ + 4 > bufferBytes)
            flush();
        const uint32_t word = static_cast<uint32_t>(a.bits);
        std::memcpy(buffer_ + bufferedBytes_, &word, 4); // little-endian: first bits in the first byte
        bufferedBytes_ += 4;
        a.bits >>= 32;
        a.count -= 32;
    }
    bool flush(); // the one flush path

    const HostIoCallbacks* io_ = nullptr;
    FileHandle file_ = nullptr;
    int64_t position_ = 0;
    int64_t bytesFlushed_ = 0;
    Accumulator accumulator_ = {0, 0};
    int32_t bufferedBytes_ = 0;
    bool failed_ = false;
    uint8_t buffer_[bufferBytes];
};

} // namespace voltara::codec
