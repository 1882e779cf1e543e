#pragma once

#include <vector>

// The subcommands of the voltara tool. Each lives in its own source file
// (built into the program itself, not the hosting library) and registers
// itself there with a CommandRegistration: its name, its line in
// `voltara --help` and its entry. Its options and usage are its CommandLine.
namespace voltara {

struct Command {
    const char* name;
    const char* summary; // one line
    // argv[0] is the command's own name. Answers the exit status; a ToolError
    // thrown out of it is reported by main.
    int (*run)(int argc, char** argv);
};

class CommandRegistration {
public:
    explicit CommandRegistration(const Command& command);
    // Every registered command, by name.
    static const std::vector<Command>& all();
};

} // namespace voltara
