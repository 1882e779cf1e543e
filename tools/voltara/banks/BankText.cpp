#include "tools/voltara/banks/BankText.h"

#include "tools/voltara/base/InputFile.h"
#include "tools/voltara/base/NumberParse.h"
#include "tools/voltara/base/ToolError.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace voltara {
namespace BankText {
namespace {

// The factory bank's text is about 30 kB.
constexpr std::size_t largestText = 1 << 20;

std::string trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Reads the text line by line into a bank; one instance per parse.
class Parser {
public:
    explicit Parser(const std::string& source) : source_(source) {}

    void line(const std::string& raw)
    {
        ++lineNumber_;
        const std::string text = trim(raw);
        if (text.rfind("program", 0) == 0 && (text.size() == 7 || text[7] == ' ' || text[7] == '\t'))
            startProgram(text);
        else
            valueLine(trim(text.substr(0, text.find('#'))));
    }

    Bank finish()
    {
        for (int p = 0; p < bankProgramCount; ++p) {
            if (!listed_[p])
                bank_.programs[p].values = defaults_;
        }
        return bank_;
    }

private:
    [[noreturn]] void fail(const std::string& why) const
    {
        throw ToolError(source_ + ":" + std::to_string(lineNumber_) + ": " + why);
    }

    void startProgram(const std::string& text)
    {
        const auto open = text.find('"');
        const auto close = text.rfind('"');
        if (open == std::string::npos || close == open || trim(text.substr(close + 1)) != "")
            fail("expected: program NUMBER \"NAME\"");
        const auto number = parseInteger(trim(text.substr(7, open - 7)), 0, bankProgramCount - 1);
        if (!number)
            fail("program number must be 0 to 31");
        if (listed_[*number])
            fail("program " + std::to_string(*number) + " is listed twice");
        const std::string name = text.substr(open + 1, close - open - 1);
        if (name.size() > programNameLimit)
            fail("program name \"" + name + "\" is longer than 23 characters");
        listed_[*number] = true;
        current_ = &bank_.programs[*number];
        current_->name = name;
        current_->values = defaults_;
        seen_ = {};
    }

    void valueLine(const std::string& text)
    {
        if (text.empty())
            return;
        if (text == "defaults") {
            if (current_ != nullptr || defaultsStarted_)
                fail("the defaults block must come once, before the programs");
            defaultsStarted_ = true;
            return;
        }
        if (current_ == nullptr && !defaultsStarted_)
            fail("values must follow a program or defaults line");
        std::istringstream words(text);
        std::string indexWord, valueWord, extra;
        words >> indexWord >> valueWord >> extra;
        const auto index = parseInteger(indexWord, 0, bankParameterCount - 1);
        const auto value = parseUnitValue(valueWord);
        if (!index || !value || !extra.empty())
            fail("expected: INDEX VALUE with an index 0 to 71 and a value 0 to 1, not \"" + text + "\"");
        if (seen_[*index])
            fail("index " + indexWord + " is set twice");
        seen_[*index] = true;
        (current_ != nullptr ? current_->values : defaults_)[*index] = *value;
    }

    std::string source_;
    int lineNumber_ = 0;
    Bank bank_;
    std::array<float, bankParameterCount> defaults_{};
    std::array<bool, bankProgramCount> listed_{};
    std::array<bool, bankParameterCount> seen_{};
    bool defaultsStarted_ = false;
    BankProgram* current_ = nullptr;
};

} // namespace

Bank parse(const std::string& text, const std::string& source)
{
    Parser parser(source);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        parser.line(line);
    return parser.finish();
}

Bank read(const std::string& path)
{
    return parse(readInputFile(path, largestText, "the bank text"), path);
}

std::string exactNumber(float value)
{
    char text[32];
    for (int digits = 1;; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, double(value));
        if (std::strtof(text, nullptr) == value || digits >= 9)
            return text;
    }
}

std::string format(const Bank& bank, const std::vector<std::string>& parameterNames)
{
    std::ostringstream out;
    out << "# Voltara bank: per program, parameter index and value (0 to 1).\n";
    for (int p = 0; p < bankProgramCount; ++p) {
        const BankProgram& program = bank.programs[p];
        out << "\nprogram " << p << " \"" << program.name << "\"\n";
        for (int i = 0; i < bankParameterCount; ++i) {
            std::string line = "    " + std::to_string(i) + " " + exactNumber(program.values[i]);
            if (!parameterNames.empty() && parameterNames[i] != ".")
                line += std::string(line.size() < 20 ? 20 - line.size() : 1, ' ') + "# " + parameterNames[i];
            out << line << '\n';
        }
    }
    return out.str();
}

} // namespace BankText
} // namespace voltara
