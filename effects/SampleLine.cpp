#include "effects/SampleLine.h"

#include <algorithm>
#include <new>

namespace voltara {

int32_t SampleLine::lengthOf(float frames)
{
    if (!(frames >= 1.0f && frames <= static_cast<float>(maxLength)))
        return 0;
    return static_cast<int32_t>(frames);
}

bool SampleLine::resize(int32_t length)
{
    if (length < 1 || length > maxLength) {
        samples_.reset();
        length_ = 0;
        return false;
    }
    if (length != length_ || !samples_) {
        samples_.reset(new (std::nothrow) float[static_cast<size_t>(length)]);
        length_ = samples_ ? length : 0;
    }
    return samples_ != nullptr;
}

void SampleLine::clear()
{
    if (samples_)
        std::fill(samples_.get(), samples_.get() + length_, 0.0f);
}

} // namespace voltara
