#pragma once

#include "codec/CodecInterface.h"

// The plug-in's own callback table, which `main` registers: files held in
// memory. A file handle is the address of a memory block whose first 32-bit
// word is the file size and whose file bytes start 16 bytes further on (a
// null block is no file: reading it fails, as does a read beyond the size;
// only the low word of the offset counts). Writes do nothing and succeed;
// memory comes from the process heap. The table names "Axewright Voltara"
// and carries 0 and 1 in its reserved words.
namespace voltara::codec {

const HostIoCallbacks& memoryFileCallbacks();

} // namespace voltara::codec
