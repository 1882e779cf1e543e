#pragma once

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

private:
    std::vector<std::string> words_;
    std::size_t position_ = 0;
};

} // namespace voltara
