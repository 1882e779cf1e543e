#pragma once

#include "platform/linux/Host.h"

#include <string>

namespace voltara {

// Writes a window's pixels (a screenshot) as an RGB PNG.
bool writePng(const std::string& path, const platform::host::Image& image);

} // namespace voltara
