#pragma once

#include <stdexcept>
#include <string>

namespace voltara {

// A failure the user must see: one line saying what went wrong and why. The
// command stops, exits non-zero and leaves no output file behind.
class ToolError : public std::runtime_error {
public:
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace voltara
