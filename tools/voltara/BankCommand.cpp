#include "tools/voltara/Commands.h"

#include "tools/voltara/ArgumentList.h"
#include "tools/voltara/BankFile.h"
#include "tools/voltara/BankText.h"
#include "tools/voltara/PluginHost.h"
#include "tools/voltara/PluginLibrary.h"
#include "tools/voltara/ToolError.h"

#include <cstdio>

namespace voltara {
namespace {

// The plug-in's parameter names, written beside the values as comments.
std::vector<std::string> parameterNames(const std::string& pluginPath)
{
    PluginHost host(pluginPath);
    std::vector<std::string> names;
    for (int i = 0; i < bankParameterCount; ++i)
        names.push_back(host.parameterName(i));
    return names;
}

int dump(ArgumentList& arguments)
{
    std::string file;
    std::string plugin = PluginLibrary::besideExecutable();
    while (!arguments.empty()) {
        const std::string word = arguments.take();
        if (word == "--plugin")
            plugin = arguments.valueOf(word);
        else if (file.empty() && (word.empty() || word[0] != '-'))
            file = word;
        else
            ArgumentList::reject(word);
    }
    if (file.empty())
        throw ToolError("usage: voltara bank dump FILE [--plugin PATH]");
    const Bank bank = BankFile::read(file);
    std::fputs(BankText::format(bank, parameterNames(plugin)).c_str(), stdout);
    return 0;
}

int build(ArgumentList& arguments)
{
    std::vector<std::string> files;
    while (!arguments.empty()) {
        const std::string word = arguments.take();
        if (files.size() == 2 || (word.size() > 1 && word[0] == '-'))
            ArgumentList::reject(word);
        files.push_back(word);
    }
    if (files.size() != 2)
        throw ToolError("usage: voltara bank build TEXT OUT.fxb");
    BankFile::write(BankText::read(files[0]), files[1]);
    return 0;
}

} // namespace

int runBankCommand(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    return arguments.runAction({{"dump", dump}, {"build", build}},
                               "usage: voltara bank dump FILE | voltara bank build TEXT OUT.fxb");
}

} // namespace voltara
