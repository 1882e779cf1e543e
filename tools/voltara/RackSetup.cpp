#include "tools/voltara/RackSetup.h"

#include "tools/voltara/BankFile.h"
#include "tools/voltara/NumberParse.h"
#include "tools/voltara/ToolError.h"

#include <algorithm>
#include <cctype>

namespace voltara {
namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::pair<int, float> parseSetting(const std::string& text)
{
    const auto equals = text.find('=');
    const auto index = parseInteger(text.substr(0, equals), 0, bankParameterCount - 1);
    if (equals == std::string::npos || !index)
        throw ToolError("--set " + text + ": expected INDEX=VALUE with an index 0 to 71");
    const auto value = parseUnitValue(text.substr(equals + 1));
    if (!value)
        throw ToolError("--set " + text + ": the value must be a number from 0 to 1");
    return {*index, *value};
}

} // namespace

bool RackSetup::accept(const std::string& option, ArgumentList& arguments)
{
    if (option == "--plugin")
        plugin_ = arguments.valueOf(option);
    else if (option == "--bank")
        bankPath_ = arguments.valueOf(option);
    else if (option == "--program")
        programChoice_ = arguments.valueOf(option);
    else if (option == "--set")
        values_.push_back(parseSetting(arguments.valueOf(option)));
    else
        return false;
    return true;
}

void RackSetup::apply(PluginHost& host) const
{
    if (bankPath_)
        loadBank(host);
    if (programChoice_)
        selectProgram(host);
    for (const auto& [index, value] : values_)
        host.setParameter(index, value);
}

void fillPrograms(PluginHost& host, const Bank& bank)
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

void RackSetup::loadBank(PluginHost& host) const
{
    fillPrograms(host, BankFile::read(*bankPath_));
}

void RackSetup::selectProgram(PluginHost& host) const
{
    const int count = host.descriptor().programCount;
    if (const auto number = parseInteger(*programChoice_, 0, count - 1)) {
        host.setProgram(*number);
        return;
    }
    std::string names;
    for (int p = 0; p < count; ++p) {
        const std::string name = host.programName(p);
        if (sameName(name, *programChoice_)) {
            host.setProgram(p);
            return;
        }
        names += (p == 0 ? "" : ", ") + std::to_string(p) + " \"" + name + "\"";
    }
    throw ToolError("no program named \"" + *programChoice_ + "\"; the programs are " + names);
}

} // namespace voltara
