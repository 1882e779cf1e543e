#pragma once

#include "common/FourCharCode.h"

#include <cstdint>

namespace voltara {

// A program's values as the rack keeps them, read without making the program
// current: opVendorCall with this index, the program number as value and room
// for the 72 values (floats, by parameter index) as pointer. Answers 1 when it
// wrote them, 0 for a number outside 0 .. 31 or a null pointer. Read-only and
// safe on any thread, for hosts that keep the rack's programs in their own
// saved sessions.
namespace ProgramQuery {

constexpr int32_t vendorQuery = fourCharCode('P', 'r', 'g', 'V');

} // namespace ProgramQuery
} // namespace voltara
