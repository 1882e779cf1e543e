#pragma once

#include "common/FourCharCode.h"

#include <cstdint>

namespace voltara {

// Everything a host may ask of the rack beyond the plug-in interface's own
// calls: opVendorCall with one of these as index. Any other index answers 0.
namespace VendorCall {

// The packed lamps (LampPacking); read-only, safe on any thread, for hosts
// that show the lamps beside their own controls.
constexpr int32_t lamps = fourCharCode('L', 'a', 'm', 'p');

// A program's values as the rack keeps them, read without making the program
// current: the program number as value and room for the 72 values (floats,
// by parameter index) as pointer. Answers 1 when it wrote them, 0 for a number
// outside 0 .. 31 or a null pointer. Read-only and safe on any thread, for
// hosts that keep the rack's programs in their own saved sessions.
constexpr int32_t programValues = fourCharCode('P', 'r', 'g', 'V');

// What the editor does with a path the user chose, for hosts whose own
// chooser answers the editor's question later (an LV2 host's request for a
// value). [window thread]
// pointer: a bank file's path; answers 1 when a bank of 32 programs was read.
constexpr int32_t loadBank = fourCharCode('B', 'a', 'n', 'k');
// pointer: the folder chosen as the content folder, recorded as the editor
// records it (the user hears what to do next, or why it cannot be); answers 1.
constexpr int32_t setContentFolder = fourCharCode('C', 'o', 'n', 't');

} // namespace VendorCall
} // namespace voltara
