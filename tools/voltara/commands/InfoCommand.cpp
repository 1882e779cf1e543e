#include "tools/voltara/commands/Commands.h"

#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/rack/RackSetup.h"

#include <cstdio>

namespace voltara {
namespace {

std::string fourCharacters(int32_t code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += char((uint32_t(code) >> shift) & 0xff);
    return text;
}

void printIdentity(const pluginhost::PluginInstance& host)
{
    const PluginDescriptor& d = *host.descriptor();
    std::printf("effect    %s\n", host.text(opGetEffectName).c_str());
    std::printf("product   %s\n", host.text(opGetProductName).c_str());
    std::printf("vendor    %s, version %d\n", host.text(opGetVendorName).c_str(),
                int(host.dispatch(opGetVendorVersion)));
    std::printf("id        %s, descriptor version %d, interface %d\n", fourCharacters(d.uniqueId).c_str(), d.version,
                int(host.dispatch(opGetInterfaceVersion)));
    std::printf("audio     %d in, %d out\n", d.inputCount, d.outputCount);
}

void printParameters(const pluginhost::PluginInstance& host)
{
    const int count = host.descriptor()->parameterCount;
    std::printf("\n%d parameters (index, name, value, display):\n", count);
    for (int i = 0; i < count; ++i)
        std::printf("%4d  %-12s %9.6f  %s\n", i, host.parameterName(i).c_str(), double(host.parameter(i)),
                    host.parameterText(i).c_str());
}

void printPrograms(const pluginhost::PluginInstance& host)
{
    const int count = host.descriptor()->programCount;
    const int current = host.program();
    std::printf("\n%d programs (* current):\n", count);
    for (int p = 0; p < count; ++p)
        std::printf("%4d%c \"%s\"\n", p, p == current ? '*' : ' ', host.programName(p).c_str());
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    RackSetup setup;
    CommandLine line("info [options]", "Shows the plug-in's identity, its 72 parameters with names, values and display "
                                       "texts, and the 32 program names (the current one marked *).");
    setup.addOptions(line);
    std::vector<std::string> operands;
    if (!line.parse(arguments, operands, 0, 0))
        return 0;
    pluginhost::LoadedPlugin host(setup.pluginPath());
    setup.apply(host);
    printIdentity(host);
    printParameters(host);
    printPrograms(host);
    return 0;
}

const CommandRegistration registration({"info", "show the plug-in's identity, parameters and programs", run});

} // namespace
} // namespace voltara
