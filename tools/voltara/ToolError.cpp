#include "tools/voltara/ToolError.h"

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

} // namespace voltara
