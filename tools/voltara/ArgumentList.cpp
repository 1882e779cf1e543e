#include "tools/voltara/ArgumentList.h"

#include "tools/voltara/ToolError.h"

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

int ArgumentList::runAction(std::initializer_list<Action> actions, const char* usage)
{
    const std::string name = empty() ? "" : take();
    for (const Action& action : actions) {
        if (name == action.name)
            return action.run(*this);
    }
    throw ToolError(usage);
}

void ArgumentList::reject(const std::string& word)
{
    if (word.size() > 1 && word[0] == '-')
        throw ToolError("unknown option " + word);
    throw ToolError("unexpected argument " + word);
}

} // namespace voltara
