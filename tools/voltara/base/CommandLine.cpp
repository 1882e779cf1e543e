#include "tools/voltara/base/CommandLine.h"

#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/NumberParse.h"
#include "tools/voltara/base/ToolError.h"

#include <optional>
#include <sstream>

namespace voltara {
namespace {

// Numbers in help as a user types them: 999, 0.5, -96.
std::string shortNumber(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string rangeText(const Option& option)
{
    if (option.kind != Option::Kind::integer && option.kind != Option::Kind::number)
        return "";
    return shortNumber(option.lowest) + " to " + shortNumber(option.highest);
}

// Words after the option column, broken before the line passes lineWidth.
void printWrapped(std::FILE* to, const std::string& text, std::size_t indent)
{
    constexpr std::size_t lineWidth = 79;
    std::istringstream words(text);
    std::size_t column = indent;
    for (std::string word; words >> word;) {
        if (column > indent && column + 1 + word.size() > lineWidth) {
            std::fprintf(to, "\n%*s", int(indent), "");
            column = indent;
        }
        std::fprintf(to, "%s%s", column > indent ? " " : "", word.c_str());
        column += (column > indent ? 1 : 0) + word.size();
    }
    std::fprintf(to, "\n");
}

const Option helpOption = Option::flag("--help", 'h', "show this help and exit", [] {});

} // namespace

Option Option::flag(const char* name, char shortName, const char* help, std::function<void()> apply)
{
    return {name, shortName, nullptr, Kind::flag, 0,
            0,    nullptr,   help,    false,      [apply](const std::string&, double) { apply(); }};
}

Option Option::text(const char* name, char shortName, const char* valueName, const char* initial, const char* help,
                    Apply apply, bool repeatable)
{
    return {name, shortName, valueName, Kind::text, 0, 0, initial, help, repeatable, std::move(apply)};
}

Option Option::integer(const char* name, const char* valueName, double lowest, double highest, const char* initial,
                       const char* help, Apply apply)
{
    return {name, 0, valueName, Kind::integer, lowest, highest, initial, help, false, std::move(apply)};
}

Option Option::number(const char* name, const char* valueName, double lowest, double highest, const char* initial,
                      const char* help, Apply apply)
{
    return {name, 0, valueName, Kind::number, lowest, highest, initial, help, false, std::move(apply)};
}

CommandLine::CommandLine(std::string usage, std::string summary)
    : usage_(std::move(usage)), summary_(std::move(summary))
{
}

CommandLine& CommandLine::add(Option option)
{
    options_.push_back(std::move(option));
    return *this;
}

const Option* CommandLine::find(const std::string& word) const
{
    for (const Option& option : options_) {
        if (word == option.name || (option.shortName != 0 && word == std::string{'-', option.shortName}))
            return &option;
    }
    return nullptr;
}

namespace {

void applyValue(const Option& option, const std::string& given, const std::string& text)
{
    double number = 0.0;
    if (option.kind == Option::Kind::integer || option.kind == Option::Kind::number) {
        const bool whole = option.kind == Option::Kind::integer;
        std::optional<double> value;
        if (!whole)
            value = parseNumber(text, option.lowest, option.highest);
        else if (const auto integer = parseInteger(text, int(option.lowest), int(option.highest)))
            value = *integer;
        if (!value)
            throw ToolError(given + " must be " + (whole ? "a whole number" : "a number") + " from " + rangeText(option)
                            + ", not \"" + text + "\"");
        number = *value;
    }
    option.apply(text, number);
}

} // namespace

bool CommandLine::parse(ArgumentList& arguments, std::vector<std::string>& operands) const
{
    for (const Option& option : options_) {
        if (option.initial != nullptr)
            applyValue(option, option.name, option.initial);
    }
    while (!arguments.empty()) {
        std::string word = arguments.take();
        if (word == "--help" || word == "-h") {
            printHelp(stdout);
            return false;
        }
        if (word.size() < 2 || word[0] != '-') {
            operands.push_back(word);
            continue;
        }
        std::string value;
        bool valueAttached = false;
        const auto equals = word.find('=');
        if (word.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = word.substr(equals + 1);
            word.resize(equals);
            valueAttached = true;
        }
        const Option* option = find(word);
        if (option == nullptr)
            throw ToolError("unknown option " + word + " (see voltara " + usage_.substr(0, usage_.find(' '))
                            + " --help)");
        if (option->kind == Option::Kind::flag) {
            if (valueAttached)
                throw ToolError("option " + word + " takes no value");
            option->apply("", 0.0);
            continue;
        }
        if (!valueAttached)
            value = arguments.valueOf(word);
        applyValue(*option, word, value);
    }
    return true;
}

bool CommandLine::parse(ArgumentList& arguments, std::vector<std::string>& operands, std::size_t fewest,
                        std::size_t most) const
{
    if (!parse(arguments, operands))
        return false;
    if (operands.size() < fewest || operands.size() > most)
        usageError();
    return true;
}

void CommandLine::printHelp(std::FILE* to) const
{
    std::istringstream lines(usage_);
    bool first = true;
    for (std::string line; std::getline(lines, line); first = false)
        std::fprintf(to, "%s voltara %s\n", first ? "usage:" : "      ", line.c_str());
    std::fprintf(to, "\n");
    std::istringstream paragraphs(summary_);
    for (std::string paragraph; std::getline(paragraphs, paragraph);)
        printWrapped(to, paragraph, 0);
    std::fprintf(to, "\noptions:\n");
    std::vector<const Option*> all;
    for (const Option& option : options_)
        all.push_back(&option);
    all.push_back(&helpOption);
    for (const Option* option : all) {
        std::string head = option->shortName != 0 ? std::string{'-', option->shortName} + ", " : "    ";
        head += option->name;
        if (option->valueName != nullptr)
            head += std::string(" ") + option->valueName;
        std::string help = option->help;
        const std::string range = rangeText(*option);
        if (!range.empty())
            help += ", " + range;
        if (option->initial != nullptr)
            help += std::string(" (default ") + option->initial + ")";
        if (option->repeatable)
            help += "; repeatable";
        if (head.size() > 26)
            std::fprintf(to, "  %s\n  %-26s ", head.c_str(), "");
        else
            std::fprintf(to, "  %-26s ", head.c_str());
        printWrapped(to, help, 2 + 26 + 1);
    }
}

void CommandLine::usageError() const
{
    std::string text = "usage: voltara " + usage_;
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; ++at)
        text.replace(at, 1, " | voltara ");
    throw ToolError(text + " (see --help)");
}

} // namespace voltara
