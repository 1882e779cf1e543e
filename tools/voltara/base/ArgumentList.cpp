#include "tools/voltara/base/ArgumentList.h"

#include "tools/voltara/base/ToolError.h"

#include <cstdio>

namespace voltara {

ArgumentList::ArgumentList(int argc, char** argv, int first)
{
    for (int i = first; i < argc; ++i)
        words_.emplace_back(argv[i]);
}

std::string ArgumentList::take()
{
    return words_.at(position_++);
}

std::string ArgumentList::valueOf(const std::string& option)
{
    if (empty())
        throw ToolError("option " + option + " needs a value");
    return take();
}

int ArgumentList::runAction(const char* command, std::initializer_list<Action> actions)
{
    const std::string name = empty() ? "" : take();
    for (const Action& action : actions) {
        if (name == action.name)
            return action.run(*this);
    }
    std::string list = std::string("usage: voltara ") + command + " ACTION [options]    (voltara " + command
                       + " ACTION --help for its options)\n\nactions:\n";
    for (const Action& action : actions)
        list += "  " + std::string(action.name) + " " + action.operands + "\n      " + action.summary + "\n";
    if (name == "--help" || name == "-h") {
        std::fputs(list.c_str(), stdout);
        return 0;
    }
    std::string names;
    for (const Action& action : actions)
        names += std::string(names.empty() ? "" : "|") + action.name;
    throw ToolError((name.empty() ? "no action" : "unknown action " + name) + "; usage: voltara " + command + " "
                    + names + " ... (see voltara " + command + " --help)");
}

} // namespace voltara
