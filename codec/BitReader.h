#pragma once

#include <cstdint>
#include <cstring>

#include "codec/CodecInterface.h"

// Reads the compressed Kestrelwave stream through the host's readAt: bytes in
// file order, bits of each byte from the least significant up. Bits are taken
// from a 64-bit word cache, which is topped up from a 16000-byte buffer; the
// buffer is refilled from the file in exactly one place (refill). Every read
// answers whether it succeeded, and a stream that runs out, or a read that
// fails, ends reading for good instead of reading past the buffer or waiting
// for a bit that never comes.
namespace voltara::codec {

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the bit reader loads little-endian words"
#endif

class BitReader {
public:
    static constexpr int32_t bufferBytes = 16000;

    // The bits not yet read, the next one in the lowest place: a decoding loop
    // keeps it in a local (take, read through it, put back) so that it stays
    // in a register. Bits above `count` are the stream's next bits or zeros.
    struct Cache {
        uint64_t bits;
        int32_t count; // at most 63
    };

    // Starts empty and fully consumed, so the first refill reads up to 16000 bytes.
    // `io` must outlive the reader.
    void open(const HostIoCallbacks& io, FileHandle file, int64_t streamOffset, int64_t streamLength);

    bool failed() const { return failed_; }

    Cache take() const { return cache_; }
    void put(Cache cache) { cache_ = cache; }

    // Tops the cache up from the buffer, never from the file: to 56 bits or
    // more while the buffer has bytes.
    void fill(Cache& cache)
    {
        if (cache.count > 56)
            return;
        if (bytePosition_ + 8 <= validBytes_) {
            // Whole bytes while the cache has room: the word's upper bytes are
            // the same stream bytes the next top-up adds again.
            uint64_t word;
            std::memcpy(&word, buffer_ + bytePosition_, sizeof word);
            cache.bits |= word << cache.count;
            const int32_t bytes = (63 - cache.count) >> 3;
            bytePosition_ += bytes;
            cache.count += 8 * bytes;
        } else {
            cache = drain(cache);
        }
    }

    // Topping the cache up straight from the buffer, where the buffer's end is
    // far enough not to be looked at: a loop takes the buffer's next byte,
    // tops up at most topUpsAhead() times (each reads 8 bytes and moves on at
    // most 7), and hands the byte back.
    const uint8_t* nextByte() const { return buffer_ + bytePosition_; }
    void resumeAt(const uint8_t* next) { bytePosition_ = next - buffer_; }
    int64_t topUpsAhead() const
    {
        const int64_t ahead = validBytes_ - bytePosition_;
        return ahead < 8 ? 0 : (ahead - 8) / 7 + 1;
    }
    // To 56 bits or more, the bits above the count being the stream's next ones.
    static void topUp(Cache& cache, const uint8_t*& next)
    {
        uint64_t word;
        std::memcpy(&word, next, sizeof word);
        cache.bits |= word << cache.count;
        next += (cache.count ^ 63) >> 3; // whole bytes that fit: (63 - count) / 8
        cache.count |= 56;
    }

    // At least `bits` (0 .. 56) in the cache, refilling the buffer from the
    // file when it has too few; false when the stream has no more (or a read
    // fails), which ends reading for good.
    bool require(Cache& cache, int32_t bits)
    {
        if (cache.count >= bits)
            return true;
        fill(cache);
        if (cache.count >= bits)
            return true;
        cache = refillFor(cache, bits);
        return cache.count >= bits;
    }

    // An unsigned field of 0 to 32 bits, first bit the least significant.
    static uint32_t field(Cache& cache, int32_t width)
    {
        const uint32_t value = static_cast<uint32_t>(cache.bits & ((uint64_t{1} << width) - 1));
        consume(cache, width);
        return value;
    }

    // Signed Rice code with parameter k (0 .. 32) when the cache holds all of
    // it: the magnitude remainder + q * 2^k (in 32 bits), then a sign bit (1 =
    // negative). False, consuming nothing, when it does not.
    static bool cachedSignedRice(Cache& cache, int32_t k, int32_t& value)
    {
        uint32_t magnitude;
        return cachedSignedRice<false>(cache, k, value, magnitude);
    }
    // The same, answering the magnitude as well. Where k stays the same from
    // code to code (KeptParameter), the remainder is masked out with a mask
    // made once; else it is what is left when the bits above it are taken off.
    template <bool KeptParameter>
    static bool cachedSignedRice(Cache& cache, int32_t k, int32_t& value, uint32_t& magnitude)
    {
        // Bits above the count are the stream's next ones or zeros, so a run
        // found there (or none) is simply too long.
        if (cache.bits == 0)
            return false;
        const int32_t zeros = __builtin_ctzll(cache.bits);
        const int32_t length = zeros + k + 2;
        if (length > cache.count)
            return false;
        // rest: the remainder, then the sign and what follows (tail).
        const uint64_t rest = cache.bits >> zeros >> 1;
        const uint64_t tail = rest >> k;
        if constexpr (KeptParameter)
            magnitude = static_cast<uint32_t>((uint64_t(zeros) << k) + (rest & ((uint64_t{1} << k) - 1)));
        else
            magnitude = static_cast<uint32_t>(((uint64_t(zeros) - tail) << k) + rest); // q * 2^k + rest - tail * 2^k
        const uint32_t negative = static_cast<uint32_t>(tail) & 1;
        cache.bits >>= length; // from the bits in one step: the next code waits on nothing else
        cache.count -= length;
        value = static_cast<int32_t>((magnitude ^ (0u - negative)) + negative);
        return true;
    }

    // The same reads on the reader's own cache.
    void alignToByte() { consume(cache_, cache_.count & 7); }
    bool readBits(int32_t width, uint32_t& value)
    {
        if (!require(cache_, width))
            return false;
        value = field(cache_, width);
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
        Cache cache = cache_;
        const bool read = readSignedRice(cache, k, value);
        cache_ = cache;
        return read;
    }
    bool readSignedRice(Cache& cache, int32_t k, int32_t& value)
    {
        // Most codes are short: the cache is topped up only when it runs low,
        // or when the code does not fit what it holds.
        if (cache.count < 32)
            fill(cache);
        if (cachedSignedRice(cache, k, value))
            return true;
        const SlowRead slow = slowSignedRice(cache, k);
        cache = slow.cache;
        value = slow.value;
        return slow.read;
    }

private:
    static uint64_t lowMask(int32_t width) { return width >= 64 ? ~uint64_t{0} : (uint64_t{1} << width) - 1; }

    static void consume(Cache& cache, int32_t bits)
    {
        cache.bits = bits >= 64 ? 0 : cache.bits >> bits;
        cache.count -= bits;
    }

    // A code the cache did not hold whole, read through the reader's own
    // cache; everything by value, so that a loop's cache stays in registers.
    struct SlowRead {
        Cache cache;
        int32_t value;
        bool read;
    };
    SlowRead slowSignedRice(Cache cache, int32_t k);
    // Moves the buffer's last bytes into the cache one by one.
    Cache drain(Cache cache);
    // Refills the buffer from the file until the cache holds `bits`; marks
    // reading failed when the stream runs out or a read fails.
    Cache refillFor(Cache cache, int32_t bits);
    // The one refill path: reads the stream's next bytes (up to the buffer's
    // size, no more than the stream has left) into the used-up buffer.
    void refill();

    const HostIoCallbacks* io_ = nullptr;
    FileHandle file_ = nullptr;
    int64_t readOffset_ = 0;   // file offset of the next compressed bytes
    int64_t bytesUnread_ = 0;  // compressed bytes not yet read
    int64_t validBytes_ = 0;   // bytes in the buffer
    int64_t bytePosition_ = 0; // the buffer's next byte for the cache
    Cache cache_ = {0, 0};
    bool failed_ = false;
    uint8_t buffer_[bufferBytes + 8];
};

} // namespace voltara::codec
