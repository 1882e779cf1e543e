#pragma once

#include <atomic>

namespace voltara {

// A value written by one thread (host, editor) and read by another (audio)
// as a single untorn store. Relaxed ordering: each value stands alone, and the
// audio thread picks up a change at its next block.
template <typename T>
class Relaxed {
    static_assert(std::atomic<T>::is_always_lock_free, "the audio thread never waits for a lock");

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

    // Takes the value and leaves v in its place, so that a flag raised in
    // between is never lost.
    T exchange(T v) noexcept { return value_.exchange(v, std::memory_order_relaxed); }
    // Stores desired only while the value still is expected; otherwise
    // answers false and puts the current value in expected.
    bool compareExchange(T& expected, T desired) noexcept
    {
        return value_.compare_exchange_strong(expected, desired, std::memory_order_relaxed);
    }

private:
    std::atomic<T> value_;
};

} // namespace voltara
