#pragma once

#include <cstddef>
#include <string>

namespace voltara {

// Files the user names as input are read only when they are regular files
// (standard input "-" where a command says so), and only up to a bound, so
// that /dev/zero, a FIFO without a writer or a folder gives a clear error
// instead of memory exhaustion, a hang or an empty read.

// Why path cannot be read as an input file, in words for a message ("no such
// file", "a folder", "not a regular file (a device, FIFO or socket)", ...);
// empty when it is a regular file that can be opened.
std::string whyNoInputFile(const std::string& path);

// Throws ToolError "cannot read PATH: WHY" unless path is a regular file
// that can be opened.
void requireInputFile(const std::string& path);

// The whole of an input file of at most limit bytes. "-" reads standard input
// when standardInput is true. Throws ToolError "cannot read WHAT PATH: WHY".
std::string readInputFile(const std::string& path, std::size_t limit, const std::string& what,
                          bool standardInput = false);

} // namespace voltara
