#pragma once

namespace voltara {

// The plug-in's own registration of the codec, made by `main` on every call:
// callbacks over files held in memory. A file handle is the address of a
// memory block whose first 32-bit word is the file size and whose file bytes
// start 16 bytes further on (a null block is no file: reading it fails). The
// callback table names "Axewright Voltara", reads memory blocks, writes
// nothing, allocates from the process heap and carries 0 and 1 in its
// reserved words; FIO_InitPlugin(0, ...) takes it.
void registerCodecForMemoryFiles();

} // namespace voltara
