#pragma once

#include "tools/voltara/ArgumentList.h"
#include "tools/voltara/Bank.h"
#include "tools/voltara/PluginHost.h"
#include "tools/voltara/PluginLibrary.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace voltara {

// The options shared by the commands that run the rack: which plug-in, which
// bank and program, and single parameter values on top.
//   --plugin PATH  --bank FILE  --program N|NAME  --set INDEX=VALUE (repeatable)
// The plug-in offers no bank chunk, so a host loads a bank by filling each
// program through program, parameter and name calls, taking the values and
// names as the plug-in's own bank loader would. The current program stays.
void fillPrograms(PluginHost& host, const Bank& bank);

class RackSetup {
public:
    // Takes the value of option from arguments when option is one of ours.
    bool accept(const std::string& option, ArgumentList& arguments);

    const std::string& pluginPath() const { return plugin_; }
    // Loads the bank into the programs, then selects the program, then sets values.
    void apply(PluginHost& host) const;

private:
    void loadBank(PluginHost& host) const;
    void selectProgram(PluginHost& host) const;

    std::string plugin_ = PluginLibrary::besideExecutable();
    std::optional<std::string> bankPath_;
    std::optional<std::string> programChoice_;
    std::vector<std::pair<int, float>> values_;
};

} // namespace voltara
