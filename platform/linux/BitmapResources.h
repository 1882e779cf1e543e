#pragma once

#include "platform/Handles.h"

#include <cstddef>

// Bitmap resources compiled into a library or program: a table of device-
// independent bitmap files (with or without their file header) by number,
// registered under the module that contains the given address.

namespace voltara::platform {

struct EmbeddedBitmap {
    int id;
    const unsigned char* data;
    size_t size;
};

VOLTARA_PLATFORM_API void registerBitmapResources(const void* addressInModule, const EmbeddedBitmap* table,
                                                  size_t count);
VOLTARA_PLATFORM_API void unregisterBitmapResources(const void* addressInModule);

} // namespace voltara::platform
