#include "plugin/fx/MemoryFileCodec.h"

#include "codec/MemoryFiles.h"

#include <atomic>

namespace voltara {

namespace {

codec::FormatInfo registeredFormat = {};

} // namespace

void registerCodecForMemoryFiles()
{
    // Every instance would register the same: the first one does, and the
    // others, perhaps made on other threads at the same moment, write nothing.
    static std::atomic<bool> registered{false};
    if (!registered.exchange(true))
        codec::registerPlugInCallbacks(codec::memoryFileCallbacks(), registeredFormat);
}

} // namespace voltara
