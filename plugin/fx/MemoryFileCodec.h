#pragma once

namespace voltara {

// The plug-in's own registration of the codec, made by `main` on every call:
// the callbacks over files held in memory (codec/MemoryFiles.h). They serve
// the codec's entries only while no host has registered callbacks of its own
// through FIO_InitPlugin.
void registerCodecForMemoryFiles();

} // namespace voltara
