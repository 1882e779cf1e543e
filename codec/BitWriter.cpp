#include "codec/BitWriter.h"

#include <cstring>

namespace voltara::codec {

void BitWriter::open(const HostIoCallbacks& io, FileHandle file, int64_t position)
{
    io_ = &io;
    file_ = file;
    position_ = position;
    bytesFlushed_ = 0;
    accumulator_ = 0;
    accumulatorBits_ = 0;
    bufferedBytes_ = 0;
    failed_ = false;
}

void BitWriter::writeZeros(uint64_t count)
{
    while (count >= 32) {
        writeBits(0, 32);
        count -= 32;
    }
    writeBits(0, static_cast<int32_t>(count));
}

void BitWriter::moveWord()
{
    if (bufferedBytes_ + 4 > bufferBytes)
        flush();
    const uint32_t word = static_cast<uint32_t>(accumulator_);
    std::memcpy(buffer_ + bufferedBytes_, &word, 4); // little-endian: first bits in the first byte
    bufferedBytes_ += 4;
    accumulator_ >>= 32;
    accumulatorBits_ -= 32;
}

bool BitWriter::finish()
{
    while (accumulatorBits_ >= 8) {
        if (bufferedBytes_ == bufferBytes)
            flush();
        buffer_[bufferedBytes_++] = static_cast<uint8_t>(accumulator_);
        accumulator_ >>= 8;
        accumulatorBits_ -= 8;
    }
    return flush();
}

bool BitWriter::flush()
{
    if (bufferedBytes_ > 0 && !failed_) {
        if (io_->writeAt(file_, position_, buffer_, bufferedBytes_) != 0)
            failed_ = true;
        else {
            position_ += bufferedBytes_;
            bytesFlushed_ += bufferedBytes_;
        }
    }
    bufferedBytes_ = 0;
    return !failed_;
}

} // namespace voltara::codec
