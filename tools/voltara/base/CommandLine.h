#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace voltara {

class ArgumentList;

// One option of a command. The same record parses the option and prints its
// line of help, so the two cannot disagree about names, ranges or defaults.
struct Option {
    enum class Kind {
        flag,    // no value
        text,    // any text; the command checks it
        integer, // a whole number from lowest to highest
        number,  // a decimal number from lowest to highest
    };

    const char* name;      // "--tempo"
    char shortName;        // 'b' for -b, or 0
    const char* valueName; // "BPM"; null for a flag
    Kind kind;
    double lowest, highest; // for integer and number
    // Applied before the command line is read, and shown as the default;
    // null when the option has no default value.
    const char* initial;
    const char* help; // one line
    bool repeatable;
    // text as given; number holds its value for integer and number options.
    std::function<void(const std::string& text, double number)> apply;

    using Apply = std::function<void(const std::string& text, double number)>;
    static Option flag(const char* name, char shortName, const char* help, std::function<void()> apply);
    static Option text(const char* name, char shortName, const char* valueName, const char* initial, const char* help,
                       Apply apply, bool repeatable = false);
    static Option integer(const char* name, const char* valueName, double lowest, double highest, const char* initial,
                          const char* help, Apply apply);
    static Option number(const char* name, const char* valueName, double lowest, double highest, const char* initial,
                         const char* help, Apply apply);
};

// The grammar of one command (or action): its usage lines, what it does and
// its options. Words that are not options are the command's operands; "-"
// alone is an operand (standard input or output).
class CommandLine {
public:
    // usage: what follows "voltara" on each usage line, '\n' between lines.
    CommandLine(std::string usage, std::string summary);

    CommandLine& add(Option option);

    // Applies the defaults, then the options of arguments in order, and
    // answers the operands. Answers false after printing the help when the
    // words ask for it (-h, --help). Throws ToolError for any other mistake.
    bool parse(ArgumentList& arguments, std::vector<std::string>& operands) const;
    // parse that also checks the number of operands.
    bool parse(ArgumentList& arguments, std::vector<std::string>& operands, std::size_t fewest, std::size_t most) const;

    void printHelp(std::FILE* to) const;
    // "usage: voltara ..." as an error.
    [[noreturn]] void usageError() const;

private:
    const Option* find(const std::string& word) const;

    std::string usage_;
    std::string summary_;
    std::vector<Option> options_;
};

} // namespace voltara
