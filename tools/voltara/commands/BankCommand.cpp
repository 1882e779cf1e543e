#include "tools/voltara/commands/Commands.h"

#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/banks/BankFile.h"
#include "tools/voltara/banks/BankText.h"
#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/Installation.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/ToolError.h"

#include <cstdio>

// `voltara bank dump|build`: bank files and their readable text source.
namespace voltara {
namespace {

// The plug-in's parameter names, written beside the values as comments.
std::vector<std::string> parameterNames(const std::string& pluginPath)
{
    pluginhost::LoadedPlugin host(pluginPath);
    std::vector<std::string> names;
    for (int i = 0; i < bankParameterCount; ++i)
        names.push_back(host.parameterName(i));
    return names;
}

int dump(ArgumentList& arguments)
{
    std::string plugin = Installation::plugin();
    CommandLine line("bank dump FILE [options]",
                     "Prints a bank file as its text source, with the parameter names as comments.");
    line.add(Option::text("--plugin", 0, "PATH", nullptr,
                          "the plug-in whose parameter names label the values (default: the one that belongs to "
                          "this program)",
                          [&plugin](const std::string& path, double) { plugin = path; }));
    std::vector<std::string> files;
    if (!line.parse(arguments, files, 1, 1))
        return 0;
    const Bank bank = BankFile::read(files[0]);
    std::fputs(BankText::format(bank, parameterNames(plugin)).c_str(), stdout);
    return 0;
}

int build(ArgumentList& arguments)
{
    CommandLine line("bank build TEXT OUT.fxb", "Makes a bank file from its text source.");
    std::vector<std::string> files;
    if (!line.parse(arguments, files, 2, 2))
        return 0;
    refuseSameFile(files[0], files[1]);
    BankFile::write(BankText::read(files[0]), files[1]);
    return 0;
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    return arguments.runAction("bank", {{"dump", "FILE [--plugin PATH]", "print a bank file as its text source", dump},
                                        {"build", "TEXT OUT.fxb", "make a bank file from a text source", build}});
}

const CommandRegistration registration({"bank", "print a bank file as text, or build one from text", run});

} // namespace
} // namespace voltara
