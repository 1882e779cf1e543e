#include "codec/BitWriter.h"

#include <cstring>

namespace voltara::codec {

void BitWriter::open(const HostIoCallbacks& io, FileHandle file, int64_t position)
{
    io_ = &io;
    file_ = file;
    position_ = position;
    bytesFlushed_ = 0;
    accumulator_ = {0, 0};
    bufferedBytes_ = 0;
    failed_ = false;
}

void BitWriter::writeZeros(Accumulator& a, uint64_t count)
{
    while (count >= 32) {
        writeBits(a, 0, 32);
        count -= 32;
    }
    writeBits(a, 0, static_cast<int32_t>(count));
}

bool BitWriter::finish()
{
    while (accumulator_.count >= 8) {
        if (bufferedBytes_ == bufferBytes)
            flush();
        buffer_[bufferedBytes_++] = static_cast<uint8_t>(accumulator_.bits);
        accumulator_.bits >>= 8;
        accumulator_.count -= 8;
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
