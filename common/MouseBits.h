#pragma once

#include <cstdint>

namespace voltara {

// The buttons and modifiers of a mouse state, one bit each: what the toolkit
// reports (queryMouseButtons) and what a host scripts input with.
struct MouseBits {
    static constexpr uint32_t left = 1;
    static constexpr uint32_t middle = 2;
    static constexpr uint32_t right = 4;
    static constexpr uint32_t shift = 8;
    static constexpr uint32_t control = 16;
    static constexpr uint32_t alt = 32;
};

} // namespace voltara
