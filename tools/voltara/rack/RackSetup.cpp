#include "tools/voltara/rack/RackSetup.h"

#include "tools/voltara/banks/BankFile.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/Installation.h"
#include "tools/voltara/base/NumberParse.h"
#include "tools/voltara/base/ToolError.h"

#include <algorithm>
#include <cctype>

namespace voltara {
namespace {

// Program 0's name while the plug-in has found no content folder.
const char* const contentMissingName = "default.fxb not found!";
// Names of the parameters that have none of their own.
const char* const unnamedParameter = ".";

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Edits (insert, delete, replace one character) that turn a into b.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::pair<std::string, float> parseSetting(const std::string& text)
{
    const auto equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
        throw ToolError("--set " + text + ": expected INDEX=VALUE or NAME=VALUE");
    const auto value = parseUnitValue(text.substr(equals + 1));
    if (!value)
        throw ToolError("--set " + text + ": the value must be a number from 0 to 1");
    return {text.substr(0, equals), *value};
}

} // namespace

int programNumber(const pluginhost::PluginInstance& host, const std::string& choice, const std::string& what)
{
    const int count = host.descriptor()->programCount;
    if (!choice.empty() && std::all_of(choice.begin(), choice.end(), [](unsigned char c) { return std::isdigit(c); })) {
        if (const auto number = parseInteger(choice, 0, count - 1))
            return *number;
        throw ToolError(what + ": there is no program " + choice + "; the programs are 0 to "
                        + std::to_string(count - 1));
    }
    std::string names;
    for (int p = 0; p < count; ++p) {
        const std::string name = host.programName(p);
        if (lowerCase(name) == lowerCase(choice))
            return p;
        names += (p == 0 ? "" : ", ") + std::to_string(p) + " \"" + name + "\"";
    }
    throw ToolError(what + ": no program named \"" + choice + "\"; the programs are " + names);
}

int parameterIndex(const pluginhost::PluginInstance& host, const std::string& choice, const std::string& what)
{
    const int count = host.descriptor()->parameterCount;
    if (const auto index = parseInteger(choice, 0, count - 1))
        return *index;
    if (!choice.empty() && std::all_of(choice.begin(), choice.end(), [](unsigned char c) { return std::isdigit(c); }))
        throw ToolError(what + ": there is no parameter " + choice + "; the indices are 0 to "
                        + std::to_string(count - 1));
    const std::string wanted = lowerCase(choice);
    std::vector<std::pair<std::size_t, std::string>> close; // distance, name
    for (int i = 0; i < count; ++i) {
        const std::string name = host.parameterName(i);
        if (name == unnamedParameter)
            continue;
        const std::string lower = lowerCase(name);
        if (lower == wanted)
            return i;
        const std::size_t distance = editDistance(lower, wanted);
        const bool contains =
            !wanted.empty() && (lower.find(wanted) != std::string::npos || wanted.find(lower) != std::string::npos);
        if (distance <= std::max<std::size_t>(2, wanted.size() / 3) || contains)
            close.emplace_back(contains ? 0 : distance, name);
    }
    std::stable_sort(close.begin(), close.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string message = what + ": no parameter named \"" + choice + "\"";
    for (std::size_t k = 0; k < close.size() && k < 6; ++k)
        message += (k == 0 ? "; close names: \"" : ", \"") + close[k].second + "\"";
    if (close.empty())
        message += " (voltara info lists the names)";
    throw ToolError(message);
}

void RackSetup::addOptions(CommandLine& line, bool keepsPlace)
{
    line.add(Option::text("--plugin", 0, "PATH", nullptr,
                          "the plug-in library to load (default: the one that belongs to this program)",
                          [this](const std::string& path, double) { plugin_ = path; }));
    plugin_ = Installation::plugin();
    line.add(Option::text("--bank", 0, "FILE", nullptr, "load a bank file into the 32 programs first",
                          [this](const std::string& path, double) { bankPath_ = path; }));
    // Options keep their texts as they are given: literals.
    const char* const programHelp =
        keepsPlace ? "the program, by number (0 to 31) or name (any case); without it the program kept from the "
                     "last run (else 0)"
                   : "the program, by number (0 to 31) or name (any case); the plug-in starts at 0, \"Clean Chorus\" "
                     "in the factory bank";
    line.add(Option::text("--program", 0, "N|NAME", keepsPlace ? nullptr : "0", programHelp,
                          [this](const std::string& choice, double) { programChoice_ = choice; }));
    line.add(Option::text(
        "--set", 0, "PARAMETER=VALUE", nullptr,
        "one parameter after the program: index (0 to 71) or name (any case, such as "
        "\"DEL Mix\"), value 0 to 1",
        [this](const std::string& text, double) { values_.push_back(parseSetting(text)); }, true));
}

void RackSetup::apply(pluginhost::PluginInstance& host) const
{
    loadBank(host);
    choose(host);
}

void RackSetup::choose(pluginhost::PluginInstance& host) const
{
    if (programChoice_)
        host.setProgram(programNumber(host, *programChoice_, "--program " + *programChoice_));
    for (const auto& [parameter, value] : values_)
        host.setParameter(parameterIndex(host, parameter, "--set " + parameter), value);
}

void fillPrograms(pluginhost::PluginInstance& host, const Bank& bank)
{
    const int current = host.program();
    for (int p = 0; p < bankProgramCount; ++p) {
        const BankProgram& program = bank.programs[p];
        host.setProgram(p);
        for (int i = 0; i < bankParameterCount; ++i)
            host.setParameter(i, BankFormat::loadedValue(i, program.values[i]));
        char name[programNameSize];
        BankFormat::loadedName(program.name.data(), program.name.size(), name);
        host.setProgramName(name);
    }
    host.setProgram(current);
}

void RackSetup::loadBank(pluginhost::PluginInstance& host) const
{
    if (bankPath_) {
        fillPrograms(host, BankFile::read(*bankPath_));
        return;
    }
    if (host.programName(0) != contentMissingName)
        return;
    // No registry value names a content folder: use the tool's own, so that
    // the factory programs work out of the box.
    const std::string factory = Installation::contentFolder() + "/Presets/Default.fxb";
    fillPrograms(host, BankFile::read(factory));
    note("the plug-in has no content folder recorded; loaded the factory bank " + factory);
}

} // namespace voltara
