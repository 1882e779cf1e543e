#include "codec/BitReader.h"

namespace voltara::codec {

void BitReader::open(const HostIoCallbacks& io, FileHandle file, int64_t streamOffset, int64_t streamLength)
{
    io_ = &io;
    file_ = file;
    readOffset_ = streamOffset;
    bytesUnread_ = streamLength;
    validBytes_ = 0;
    bytePosition_ = 0;
    cache_ = {0, 0};
    failed_ = false;
    std::memset(buffer_, 0, sizeof buffer_);
}

BitReader::Cache BitReader::drain(Cache cache)
{
    while (cache.count < 56 && bytePosition_ < validBytes_) {
        cache.bits |= uint64_t{buffer_[bytePosition_++]} << cache.count;
        cache.count += 8;
    }
    return cache;
}

BitReader::Cache BitReader::refillFor(Cache cache, int32_t bits)
{
    while (cache.count < bits) {
        if (bytePosition_ < validBytes_) {
            cache = drain(cache);
        } else if (failed_ || bytesUnread_ == 0) {
            failed_ = true; // the stream ran out, or a read failed before
            break;
        } else {
            refill();
        }
    }
    return cache;
}

void BitReader::refill()
{
    const int64_t wanted = bytesUnread_ < bufferBytes ? bytesUnread_ : bufferBytes;
    validBytes_ = 0;
    bytePosition_ = 0;
    if (io_->readAt(file_, readOffset_, buffer_, static_cast<int32_t>(wanted)) != 0) {
        failed_ = true;
        return;
    }
    readOffset_ += wanted;
    bytesUnread_ -= wanted;
    validBytes_ = wanted;
}

BitReader::SlowRead BitReader::slowSignedRice(Cache cache, int32_t k)
{
    fill(cache);
    SlowRead slow = {cache, 0, false};
    if (cachedSignedRice(slow.cache, k, slow.value)) {
        slow.read = true;
        return slow;
    }
    put(cache);
    uint32_t magnitude = 0, sign = 0;
    slow.read = readRice(k, magnitude) && readBits(1, sign);
    slow.cache = take();
    slow.value = static_cast<int32_t>(sign ? 0u - magnitude : magnitude);
    return slow;
}

bool BitReader::readUnary(uint64_t& zeros)
{
    zeros = 0;
    for (;;) {
        if (!require(cache_, 1))
            return false;
        const uint64_t bits = cache_.bits & lowMask(cache_.count);
        if (bits != 0) {
            const int32_t run = __builtin_ctzll(bits);
            zeros += static_cast<uint64_t>(run);
            consume(cache_, run + 1);
            return true;
        }
        zeros += static_cast<uint64_t>(cache_.count);
        consume(cache_, cache_.count);
    }
}

} // namespace voltara::codec
