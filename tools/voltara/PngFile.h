#pragma once

#include "platform/linux/Host.h"

#include <string>

namespace voltara::test {

// Writes a window's pixels as an RGB PNG, to look at what a test drew.
bool writePng(const std::string& path, const platform::host::Image& image);

} // namespace voltara::test
