#pragma once

#include <atomic>

namespace voltara {

// A value written by one thread (host, editor) and read by another (audio)
// as a single untorn store. Relaxed ordering: each value stands alone, and the
// audio thread picks up a change at its next block.
template <typename T>
class Relaxed {
public:
    constexpr Relaxed(T initial = T()) noexcept : value_(initial) {}
    Relaxed(const Relaxed& other) noexcept : value_(other.load()) {}
    Relaxed& operator=(const Relaxed& other) noexcept
    {
        store(other.load());
        return *this;
    }
    Relaxed& operator=(T v) noexcept
    {
        store(v);
        return *this;
    }

    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T v) noexcept { value_.store(v, std::memory_order_relaxed); }
    operator T() const noexcept { return load(); }

private:
    std::atomic<T> value_;
};

} // namespace voltara
