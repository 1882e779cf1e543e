#pragma once

#include "plugin/RackPlugin.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// What the rack's fuzz targets share: the input read as a stream of numbers,
// a rack built as a host builds one (no installed content is read), time
// information the target sets, and the checks every target makes. A failed
// check traps, which libFuzzer reports with the input that caused it.
namespace voltara::fuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool done() const { return position_ >= size_; }
    // Past the end of the input, zeros.
    uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    uint32_t word();
    float anyFloat();   // any bit pattern: not-a-number, infinities, denormals
    double anyDouble(); // the same, 64 bits wide

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// The time information the host hands the rack at each audio call; null
// while hasTime is false.
struct HostTime {
    static TimeInfo time;
    static bool hasTime;
};

// A rack resumed at rate with blocks of blockSize frames, every module on.
std::unique_ptr<RackPlugin> makeRack(float rate = 44100.0f, int32_t blockSize = 512);

// Runs frames of noise (full scale, with a non-finite sample now and then)
// through the replacing or the accumulating entry; traps unless every output
// sample is finite.
void runAudio(RackPlugin& rack, int32_t frames, uint32_t seed, bool accumulate = false);

// Traps unless every value in force and in every program lies within 0 .. 1,
// the current program is one of the 32 and every program name ends in its
// field.
void checkState(const RackPlugin& rack);

} // namespace voltara::fuzz
