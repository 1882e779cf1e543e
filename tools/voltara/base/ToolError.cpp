#include "tools/voltara/base/ToolError.h"

#include <cstdio>

namespace voltara {
namespace {

std::string& nameOfCommand()
{
    static std::string name = "voltara";
    return name;
}

} // namespace

void setCommandName(const std::string& name)
{
    nameOfCommand() = name;
}

const std::string& commandName()
{
    return nameOfCommand();
}

void warn(const std::string& message)
{
    std::fprintf(stderr, "%s: warning: %s\n", commandName().c_str(), message.c_str());
}

void note(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", commandName().c_str(), message.c_str());
}

std::string cutShortMessage(const std::string& path, long long promised, long long held)
{
    return path + " is cut short: its header promises " + std::to_string(promised) + " frames, it holds "
           + std::to_string(held) + " (" + std::to_string(promised - held) + " missing)";
}

} // namespace voltara
