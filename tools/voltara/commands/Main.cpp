#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/commands/Commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace voltara {
namespace {

std::vector<Command>& registry()
{
    static std::vector<Command> commands;
    return commands;
}

void printUsage(std::FILE* to)
{
    std::fprintf(to, "usage: voltara COMMAND [options]    (voltara COMMAND --help for its options)\n"
                     "       voltara --help | --version\n\ncommands:\n");
    for (const Command& command : CommandRegistration::all())
        std::fprintf(to, "  %-9s %s\n", command.name, command.summary);
}

const Command* find(const char* name)
{
    for (const Command& command : CommandRegistration::all()) {
        if (std::strcmp(name, command.name) == 0)
            return &command;
    }
    return nullptr;
}

} // namespace

CommandRegistration::CommandRegistration(const Command& command)
{
    auto& commands = registry();
    const auto place = std::find_if(commands.begin(), commands.end(),
                                    [&](const Command& other) { return std::strcmp(command.name, other.name) < 0; });
    commands.insert(place, command);
}

const std::vector<Command>& CommandRegistration::all()
{
    return registry();
}

} // namespace voltara

int main(int argc, char** argv)
{
    using namespace voltara;
    const std::string first = argc < 2 ? "" : argv[1];
    if (first.empty()) {
        printUsage(stderr);
        return 2;
    }
    if (first == "--help" || first == "-h" || first == "help") {
        // "voltara help COMMAND" is "voltara COMMAND --help".
        if (first == "help" && argc > 2 && find(argv[2]) != nullptr) {
            char help[] = "--help";
            char* words[] = {argv[2], help, nullptr};
            return find(argv[2])->run(2, words);
        }
        printUsage(stdout);
        return 0;
    }
    if (first == "--version" || first == "-V") {
        std::printf("voltara %s, the command-line host of the Axewright Voltara effect rack\n", VOLTARA_VERSION);
        return 0;
    }
    const Command* command = find(argv[1]);
    if (command == nullptr) {
        std::fprintf(stderr, "voltara: unknown command %s (try voltara --help)\n", argv[1]);
        return 2;
    }
    setCommandName(std::string("voltara ") + command->name);
    try {
        return command->run(argc - 1, argv + 1);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", commandName().c_str(), error.what());
        return 1;
    }
}
