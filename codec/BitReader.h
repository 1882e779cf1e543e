#pragma once

#include <cstdint>
#include <cstring>

#include "codec/CodecInterface.h"

// Reads the compressed Kestrelwave stream through the host's readAt: bytes in
// file order, bits of each byte from the least significant up. A 16000-byte
// buffer is refilled in exactly one place (refill); every read answers whether
// it succeeded, and a stream that runs out, or a read that fails, ends reading
// for good instead of reading past the buffer or waiting for a bit that never
// comes.
namespace voltara::codec {

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the bit reader loads little-endian words"
#endif

class BitReader {
public:
    static constexpr int32_t bufferBytes = 16000;

    // Starts empty and fully consumed, so the first refill reads up to 16000 bytes.
    // `io` must outlive the reader.
    void open(const HostIoCallbacks& io, FileHandle file, int64_t streamOffset, int64_t streamLength);

    bool failed() const { return failed_; }

    void alignToByte() { bitPosition_ = (bitPosition_ + 7) & ~uint64_t{7}; }

    // An unsigned field of 0 to 32 bits, first bit the least significant.
    bool readBits(int32_t width, uint32_t& value)
    {
        if (!ensure(static_cast<uint32_t>(width)))
            return false;
        value = static_cast<uint32_t>(peek() & lowMask(width));
        bitPosition_ += static_cast<uint32_t>(width);
        return true;
    }

    // A run of 0 bits ended by a 1 bit: answers the run's length.
    bool readUnary(uint64_t& zeros);

    // Unsigned Rice code with parameter k (0 .. 32): remainder + q * 2^k, in 32 bits.
    bool readRice(int32_t k, uint32_t& magnitude)
    {
        uint64_t q;
        uint32_t remainder;
        if (!readUnary(q) || !readBits(k, remainder))
            return false;
        magnitude = static_cast<uint32_t>((q << k) + remainder);
        return true;
    }

    // Signed Rice code: the magnitude, then a sign bit (1 = negative).
    bool readSignedRice(int32_t k, int32_t& value)
    {
        // Fast path: the whole code lies in the next 57 bits of the buffer.
        if (availableBits() >= 64) {
            const uint64_t word = peek();
            if (word != 0) {
                const uint32_t zeros = static_cast<uint32_t>(__builtin_ctzll(word));
                const uint32_t length = zeros + static_cast<uint32_t>(k) + 2;
                if (length <= 57) {
                    const uint64_t rest = word >> (zeros + 1);
                    const uint32_t magnitude = static_cast<uint32_t>((uint64_t{zeros} << k) + (rest & lowMask(k)));
                    const bool negative = (rest >> k) & 1;
                    bitPosition_ += length;
                    value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
                    return true;
                }
            }
        }
        uint32_t magnitude, sign;
        if (!readRice(k, magnitude) || !readBits(1, sign))
            return false;
        value = static_cast<int32_t>(sign ? 0u - magnitude : magnitude);
        return true;
    }

private:
    static uint64_t lowMask(int32_t width) { return width >= 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1; }

    uint64_t availableBits() const { return validBytes_ * 8 - bitPosition_; }

    // At least 57 bits from the bit position (the buffer has 8 bytes of slack).
    uint64_t peek() const
    {
        uint64_t word;
        std::memcpy(&word, buffer_ + (bitPosition_ >> 3), sizeof word);
        return word >> (bitPosition_ & 7);
    }

    bool ensure(uint32_t bits) { return availableBits() >= bits || refill(bits); }

    // The one refill path: drops the consumed bytes, reads as many behind the
    // unconsumed ones (no more than the stream has left); true when `bits` are then available.
    bool refill(uint32_t bits);

    const HostIoCallbacks* io_ = nullptr;
    FileHandle file_ = nullptr;
    int64_t readOffset_ = 0;   // file offset of the next compressed bytes
    int64_t bytesUnread_ = 0;  // compressed bytes not yet read
    uint64_t validBytes_ = 0;  // bytes in the buffer
    uint64_t bitPosition_ = 0; // bits consumed from the buffer's start
    bool failed_ = false;
    uint8_t buffer_[bufferBytes + 8];
};

} // namespace voltara::codec
