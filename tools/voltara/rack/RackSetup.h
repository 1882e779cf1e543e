#pragma once

#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/banks/Bank.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace voltara {

class CommandLine;

// The plug-in offers no bank chunk, so a host loads a bank by filling each
// program through program, parameter and name calls, taking the values and
// names as the plug-in's own bank loader would. The current program stays.
void fillPrograms(pluginhost::PluginInstance& host, const Bank& bank);

// A program by number (0 to 31) or by name, any case; throws ToolError
// listing the programs when there is none such. what names the option.
int programNumber(const pluginhost::PluginInstance& host, const std::string& choice, const std::string& what);
// A parameter by index (0 to 71) or by name, any case; throws ToolError
// listing the close names when there is none such.
int parameterIndex(const pluginhost::PluginInstance& host, const std::string& choice, const std::string& what);

// The options shared by the commands that run the rack: which plug-in, which
// bank and program, and single parameter values on top.
class RackSetup {
public:
    // Adds --plugin, --bank, --program and --set to a command's options.
    // keepsPlace: the host starts where the user left the rack, so that
    // --program has no default of its own.
    void addOptions(CommandLine& line, bool keepsPlace = false);

    const std::string& pluginPath() const { return plugin_; }
    // Loads the bank into the programs, then selects the program, then sets
    // values: loadBank, then choose.
    void apply(pluginhost::PluginInstance& host) const;
    // The bank of --bank into the programs; without it, when the plug-in
    // found no content folder, the factory bank that belongs to the tool.
    void loadBank(pluginhost::PluginInstance& host) const;
    bool bankGiven() const { return bankPath_.has_value(); }
    // The program of --program, then the values of --set.
    void choose(pluginhost::PluginInstance& host) const;

private:
    std::string plugin_;
    std::optional<std::string> bankPath_;
    std::optional<std::string> programChoice_;
    std::vector<std::pair<std::string, float>> values_; // parameter as given, value
};

} // namespace voltara
