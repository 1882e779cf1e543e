#include "codec/BitReader.h"

namespace voltara::codec {

void BitReader::open(const HostIoCallbacks& io, FileHandle file, int64_t streamOffset, int64_t streamLength)
{
    io_ = &io;
    file_ = file;
    readOffset_ = streamOffset;
    bytesUnread_ = streamLength;
    validBytes_ = bufferBytes;
    bitPosition_ = uint64_t{bufferBytes} * 8;
    failed_ = false;
    std::memset(buffer_, 0, sizeof buffer_);
}

bool BitReader::refill(uint32_t bits)
{
    if (!failed_) {
        const uint64_t consumed = bitPosition_ >> 3;
        const uint64_t kept = validBytes_ - consumed;
        const int64_t wanted =
            static_cast<int64_t>(consumed) < bytesUnread_ ? static_cast<int64_t>(consumed) : bytesUnread_;
        std::memmove(buffer_, buffer_ + consumed, kept);
        bitPosition_ -= consumed * 8;
        validBytes_ = kept;
        if (wanted > 0) {
            if (io_->readAt(file_, readOffset_, buffer_ + kept, static_cast<int32_t>(wanted)) != 0) {
                failed_ = true;
                return false;
            }
            readOffset_ += wanted;
            bytesUnread_ -= wanted;
            validBytes_ += static_cast<uint64_t>(wanted);
        }
    }
    if (availableBits() >= bits)
        return true;
    failed_ = true; // the stream ran out
    return false;
}

bool BitReader::readUnary(uint64_t& zeros)
{
    zeros = 0;
    for (;;) {
        if (!ensure(1))
            return false;
        const uint64_t available = availableBits();
        const uint32_t span = available < 57 ? static_cast<uint32_t>(available) : 57;
        const uint64_t word = peek() & lowMask(static_cast<int32_t>(span));
        if (word != 0) {
            const uint32_t run = static_cast<uint32_t>(__builtin_ctzll(word));
            zeros += run;
            bitPosition_ += run + 1;
            return true;
        }
        zeros += span;
        bitPosition_ += span;
    }
}

} // namespace voltara::codec
