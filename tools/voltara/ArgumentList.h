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
    // For a word that no option or operand of the command accepts.
    [[noreturn]] static void reject(const std::string& word);

    // An action of a command and what runs it on the words after its name.
    struct Action {
        const char* name;
        int (*run)(ArgumentList& arguments);
    };
    // Runs the action the next word names; throws ToolError with usage when
    // it names none.
    int runAction(std::initializer_list<Action> actions, const char* usage);

private:
    std::vector<std::string> words_;
    std::size_t position_ = 0;
};

} // namespace voltara
