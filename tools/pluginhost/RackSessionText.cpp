#include "tools/pluginhost/RackSessionText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace voltara::pluginhost {
namespace RackSessionText {
namespace {

constexpr std::string_view headerWord1 = "voltara";
constexpr std::string_view headerWord2 = "session";
// Lines of problems told; the rest are counted.
constexpr std::size_t problemLimit = 20;

constexpr char hexDigits[] = "0123456789ABCDEF";

// The name as it stands between the quotes: printable ASCII, other bytes and
// the backslash escaped, so that a line holds any name.
std::string escapedName(const std::string& name)
{
    std::string text;
    for (const unsigned char c : name) {
        if (c == '\\') {
            text += "\\\\";
        } else if (c < 0x20 || c >= 0x7f) {
            text += "\\x";
            text += hexDigits[c >> 4];
            text += hexDigits[c & 15];
        } else {
            text += char(c);
        }
    }
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// An escaped name back; it ends at an escaped NUL, as the rack's names do.
std::string unescapedName(std::string_view text)
{
    std::string name;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char c = text[at];
        if (c == '\\' && at + 1 < text.size() && text[at + 1] == '\\') {
            ++at;
        } else if (c == '\\' && at + 3 < text.size() && text[at + 1] == 'x' && hexValue(text[at + 2]) >= 0
                   && hexValue(text[at + 3]) >= 0) {
            c = char(hexValue(text[at + 2]) * 16 + hexValue(text[at + 3]));
            at += 3;
        }
        if (c == '\0')
            break;
        name += c;
    }
    return name;
}

std::string numberText(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> found;
    for (std::size_t at = 0; at < line.size();) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        if (at > start)
            found.push_back(line.substr(start, at - start));
    }
    return found;
}

std::string_view withoutComment(std::string_view line)
{
    return line.substr(0, line.find('#'));
}

bool readInteger(std::string_view text, int lowest, int highest, int& number)
{
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < lowest || value > highest)
        return false;
    number = value;
    return true;
}

bool readFinite(std::string_view text, float& number)
{
    float value = 0.0f;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return false;
    number = value;
    return true;
}

std::string quoted(std::string_view text)
{
    constexpr std::size_t shown = 40;
    std::string shortened(text.substr(0, shown));
    if (text.size() > shown)
        shortened += "...";
    return "\"" + escapedName(shortened) + "\"";
}

// "3, 5 to 9, 12" for the numbers whose flag is not set.
template <std::size_t Count>
std::string missingList(const std::array<bool, Count>& present)
{
    std::string list;
    for (std::size_t first = 0; first < Count;) {
        if (present[first]) {
            ++first;
            continue;
        }
        std::size_t last = first;
        while (last + 1 < Count && !present[last + 1])
            ++last;
        list += (list.empty() ? "" : ", ") + std::to_string(first);
        if (last > first)
            list += (last == first + 1 ? ", " : " to ") + std::to_string(last);
        first = last + 1;
    }
    return list;
}

class Reader {
public:
    explicit Reader(RackSession& session) : session_(session) {}

    void readLines(std::string_view text)
    {
        text = text.substr(0, text.find('\0'));
        int number = 0;
        for (std::size_t at = 0; at <= text.size() && !refused_;) {
            std::size_t end = text.find('\n', at);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view line = text.substr(at, end - at);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            ++number;
            readLine(line, number);
            at = end + 1;
        }
        if (!refused_ && !headerSeen_)
            refuse();
    }

    Report finish()
    {
        if (!refused_)
            reportMissing();
        if (untold_ > 0)
            problems_.push_back("and " + std::to_string(untold_) + " more");
        return {!refused_, std::move(problems_)};
    }

private:
    static constexpr int noProgram = -1;
    static constexpr int droppedProgram = -2;

    void problem(std::string text)
    {
        if (problems_.size() < problemLimit)
            problems_.push_back(std::move(text));
        else
            ++untold_;
    }

    void problemAt(int line, const std::string& text) { problem("line " + std::to_string(line) + ": " + text); }

    void refuse()
    {
        refused_ = true;
        problem("not a Voltara session (its first line is not \"voltara session N\"): nothing taken");
    }

    void readLine(std::string_view line, int number)
    {
        const std::vector<std::string_view> all = words(withoutComment(line));
        if (all.empty())
            return;
        if (!headerSeen_) {
            readHeader(all, number);
            return;
        }
        if (all[0] == "current")
            readCurrent(all, number);
        else if (all[0] == "program")
            readProgram(line, number);
        else if (all.size() == 2 && all[0].find_first_not_of("0123456789") == std::string_view::npos)
            readValue(all, number);
        else
            problemAt(number, "not understood, left out: " + quoted(line));
    }

    void readHeader(const std::vector<std::string_view>& all, int number)
    {
        if (all.size() < 3 || all[0] != headerWord1 || all[1] != headerWord2) {
            refuse();
            return;
        }
        headerSeen_ = true;
        int written = 0;
        if (!readInteger(all[2], 1, 1 << 30, written))
            problemAt(number, "session version " + quoted(all[2]) + " is not a version: read as version "
                                  + std::to_string(version));
        else if (written > version)
            problemAt(number, "written by a later version (session " + std::to_string(written) + "): read as version "
                                  + std::to_string(version) + ", lines of later kinds left out");
    }

    void readCurrent(const std::vector<std::string_view>& all, int number)
    {
        int program = 0;
        if (currentSeen_)
            problemAt(number, "a second current program, left out");
        else if (all.size() != 2 || !readInteger(all[1], 0, RackSession::programCount - 1, program))
            problemAt(number, "the current program is not one of 0 to 31, left out");
        else
            session_.current = program;
        currentSeen_ = true;
    }

    void readProgram(std::string_view line, int number)
    {
        program_ = droppedProgram;
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        const std::vector<std::string_view> head =
            words(withoutComment(line.substr(0, open == std::string_view::npos ? line.size() : open)));
        int p = 0;
        if (head.size() < 2 || !readInteger(head[1], 0, RackSession::programCount - 1, p)) {
            problemAt(number, "the program number is not one of 0 to 31: the program is left out");
            return;
        }
        if (programSeen_[std::size_t(p)]) {
            problemAt(number, "program " + std::to_string(p) + " a second time: left out");
            return;
        }
        programSeen_[std::size_t(p)] = true;
        program_ = p;
        const bool closed =
            open != std::string_view::npos && close > open && words(withoutComment(line.substr(close + 1))).empty();
        if (!closed) {
            problemAt(number, "program " + std::to_string(p) + " has no name in quotes: its name is kept");
            return;
        }
        std::string name = unescapedName(line.substr(open + 1, close - open - 1));
        if (name.size() > RackSession::nameLimit) {
            problemAt(number, "the name of program " + std::to_string(p) + " is cut to 23 characters");
            name.resize(RackSession::nameLimit);
        }
        session_.programs[std::size_t(p)].name = name;
    }

    void readValue(const std::vector<std::string_view>& all, int number)
    {
        if (program_ == droppedProgram)
            return; // the program line told why
        if (program_ == noProgram) {
            problemAt(number, "a value before the first program, left out");
            return;
        }
        const std::string in = " in program " + std::to_string(program_);
        int index = 0;
        float value = 0.0f;
        if (!readInteger(all[0], 0, RackSession::parameterCount - 1, index)) {
            problemAt(number, "index " + quoted(all[0]) + in + " is not one of 0 to 71, left out");
            return;
        }
        const std::string at = "index " + std::to_string(index) + in;
        auto& seen = valueSeen_[std::size_t(program_)][std::size_t(index)];
        if (seen) {
            problemAt(number, at + " a second time, left out");
            return;
        }
        if (!readFinite(all[1], value)) {
            problemAt(number, at + ": " + quoted(all[1]) + " is not a number, left out");
            return;
        }
        if (value < 0.0f || value > 1.0f) {
            problemAt(number, at + ": " + numberText(value) + " limited to 0 .. 1");
            value = std::min(std::max(value, 0.0f), 1.0f);
        }
        seen = true;
        session_.programs[std::size_t(program_)].values[std::size_t(index)] = value;
    }

    void reportMissing()
    {
        for (int p = 0; p < RackSession::programCount; ++p) {
            if (programSeen_[std::size_t(p)] && !allOf(valueSeen_[std::size_t(p)]))
                problem("program " + std::to_string(p) + " has no value for index "
                        + missingList(valueSeen_[std::size_t(p)]) + ": kept as it was");
        }
        if (!allOf(programSeen_))
            problem("no program " + missingList(programSeen_) + ": kept as it was");
        if (!currentSeen_)
            problem("no current program: program " + std::to_string(session_.current) + " stays current");
    }

    template <std::size_t Count>
    static bool allOf(const std::array<bool, Count>& flags)
    {
        return std::all_of(flags.begin(), flags.end(), [](bool flag) { return flag; });
    }

    RackSession& session_;
    std::vector<std::string> problems_;
    std::size_t untold_ = 0;
    bool refused_ = false;
    bool headerSeen_ = false;
    bool currentSeen_ = false;
    int program_ = noProgram;
    std::array<bool, RackSession::programCount> programSeen_{};
    std::array<std::array<bool, RackSession::parameterCount>, RackSession::programCount> valueSeen_{};
};

} // namespace

std::string write(const RackSession& session)
{
    std::string text = "# Voltara rack session: the current program, then every program's name and its values by\n"
                       "# parameter index (see tools/README.md).\n";
    text += std::string(headerWord1) + " " + std::string(headerWord2) + " " + std::to_string(version) + "\n";
    text += "current " + std::to_string(session.current) + "\n";
    for (int p = 0; p < RackSession::programCount; ++p) {
        const RackSession::Program& program = session.programs[std::size_t(p)];
        text += "\nprogram " + std::to_string(p) + " \"" + escapedName(program.name) + "\"\n";
        for (int index = 0; index < RackSession::parameterCount; ++index)
            text += "    " + std::to_string(index) + " " + numberText(program.values[std::size_t(index)]) + "\n";
    }
    return text;
}

Report read(std::string_view text, RackSession& session)
{
    Reader reader(session);
    reader.readLines(text);
    return reader.finish();
}

} // namespace RackSessionText
} // namespace voltara::pluginhost
