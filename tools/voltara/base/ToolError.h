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

// Messages go out as "voltara COMMAND: ..."; main names the command.
void setCommandName(const std::string& name);
const std::string& commandName();
// Something the user should know while the command goes on, on standard error.
void warn(const std::string& message);
// A note on standard error, such as which bank was loaded.
void note(const std::string& message);

// The warning for a file that ends before the frames its header promises.
std::string cutShortMessage(const std::string& path, long long promised, long long held);

} // namespace voltara
