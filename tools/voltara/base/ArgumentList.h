#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace voltara {

// The words of a command line after the subcommand, taken one at a time.
class ArgumentList {
public:
    ArgumentList(int argc, char** argv, int first);

    bool empty() const { return position_ >= words_.size(); }
    std::string take();
    // The word after option; throws ToolError when there is none.
    std::string valueOf(const std::string& option);

    // An action of a command and what runs it on the words after its name.
    struct Action {
        const char* name;
        const char* operands; // what follows the action's name, for the list of actions
        const char* summary;  // one line
        int (*run)(ArgumentList& arguments);
    };
    // Runs the action the next word names. -h or --help lists the actions of
    // command; a missing or unknown action throws ToolError with that list.
    int runAction(const char* command, std::initializer_list<Action> actions);

private:
    std::vector<std::string> words_;
    std::size_t position_ = 0;
};

} // namespace voltara
