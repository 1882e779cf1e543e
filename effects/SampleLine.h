#pragma once

#include <cstdint>
#include <memory>

namespace voltara {

// A delay line's float storage, sized only when the sample rate is set (on the
// host's thread) and cleared by every reset. A failed allocation leaves the
// line empty; a module with an empty line passes its input through untouched.
class SampleLine {
public:
    // Whole frames in `frames` (trunc), or 0 when it is not a usable length:
    // below one, not a number, or beyond what one line may hold.
    static int32_t lengthOf(float frames);

    // Re-allocates when the length changes (or the last attempt failed);
    // what it holds is undefined until clear(). Returns false when the line is
    // left empty.
    bool resize(int32_t length);
    // Silences the line; never allocates.
    void clear();

    float* data() const { return samples_.get(); }
    int32_t length() const { return length_; }

private:
    static constexpr int32_t maxLength = 1 << 26; // floats, 256 MB

    std::unique_ptr<float[]> samples_;
    int32_t length_ = 0;
};

// Positions on a line that is written downward, so that older samples lie at
// higher indices.

// One step toward older samples, wrapping from the bottom of the line to its top.
inline int32_t olderIndex(int32_t index, int32_t length)
{
    return index > 0 ? index - 1 : length - 1;
}

// `steps` steps toward older samples (no more than the line's length), wrapping.
inline int32_t olderIndex(int32_t index, int32_t length, int32_t steps)
{
    index -= steps;
    return index < 0 ? index + length : index;
}

// A position a whole delay ahead of the write index, brought back onto the line.
inline int32_t indexOnLine(int32_t index, int32_t length)
{
    while (index > length - 1)
        index -= length;
    return index;
}

} // namespace voltara
