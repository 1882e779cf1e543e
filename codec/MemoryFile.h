#pragma once

#include "codec/CodecInterface.h"

// The plug-in's own registration of the codec, made by `main` on every call:
// callbacks over files held in memory. A file handle is the address of a
// memory block whose first 32-bit word is the file size and whose file bytes
// start 16 bytes further on.
namespace voltara::codec {

constexpr int32_t memoryFileDataOffset = 16;

// Fills the callback table ("Axewright Voltara", the memory-block reader, a
// writer that does nothing, the size getter, the process heap, then 0 and 1)
// and calls FIO_InitPlugin(0, ...) with the process-wide format record. `main`
// calls it on every call.
void registerCodecForMemoryFiles();

// The process-wide format record the registration fills.
const FormatInfo& memoryFileFormat();

// The memory-file callbacks themselves.
int32_t memoryFileReadAt(FileHandle block, int64_t offset, void* destination, int32_t byteCount);
int32_t memoryFileWriteAt(FileHandle block, int64_t offset, const void* source, int32_t byteCount);
int64_t memoryFileSize(FileHandle block);

} // namespace voltara::codec
