#include "tools/voltara/commands/Commands.h"

#include "platform/RegistryKey.h"
#include "platform/RegularFile.h"
#include "plugin/ContentFolder.h"
#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/Installation.h"
#include "tools/voltara/base/ToolError.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

// `voltara content show|set|unset`: the content folder the plug-in finds
// through its registry value "Install Path" (outside Windows, the registry
// store of the user running the tool).
namespace voltara {
namespace {

// Where the plug-in looks for its content folder; the plug-in reads it
// through ContentFolder.
const char* const registryKey = "Software\\Brenmark\\Axewright Voltara";
const char* const installPathValue = "Install Path";

std::string absolute(const std::string& folder)
{
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr)
        throw ToolError("cannot find the folder " + folder);
    return resolved;
}

// The plug-in's own rule for the files it reads.
bool isFile(const std::string& path)
{
    return readRegularFile(path.c_str(), nullptr, 0) >= 0;
}

int show(ArgumentList& arguments)
{
    CommandLine line("content show",
                     "Shows the content folder the plug-in finds and the one that belongs to this "
                     "program, which the tool loads its factory bank from when the plug-in finds none.");
    std::vector<std::string> operands;
    if (!line.parse(arguments, operands, 0, 0))
        return 0;
    const ContentFolder recorded = ContentFolder::fromRegistry();
    if (!recorded.isFound())
        std::printf("recorded   none: the plug-in reports its content missing\n");
    else
        std::printf("recorded   %s (%s)\n", recorded.path().c_str(),
                    recorded.hasStyleData() ? "installed" : "no Players/Voltara.sty: the plug-in counts it missing");
    std::printf("the tool's %s\n", Installation::contentFolder().c_str());
    return 0;
}

int set(ArgumentList& arguments)
{
    CommandLine line("content set FOLDER",
                     "Records FOLDER (holding Presets/Default.fxb and Players/Voltara.sty) as the plug-in's content "
                     "folder, for every instance loaded from now on.");
    std::vector<std::string> operands;
    if (!line.parse(arguments, operands, 1, 1))
        return 0;
    const std::string folder = absolute(operands[0]);
    if (!isFile(folder + "/Players/Voltara.sty") || !isFile(folder + "/Presets/Default.fxb"))
        throw ToolError(folder + " is not a content folder: it needs Presets/Default.fxb and Players/Voltara.sty");
    if (folder.size() > ContentFolder::maxValueLength)
        throw ToolError(folder + " is longer than the plug-in reads (" + std::to_string(ContentFolder::maxValueLength)
                        + " characters)");
    if (!RegistryKey(registryKey, RegistryKey::Access::full).writeString(installPathValue, folder.c_str()))
        throw ToolError("cannot record the content folder in the registry store");
    note("recorded the content folder " + folder);
    return 0;
}

int unset(ArgumentList& arguments)
{
    std::string only;
    CommandLine line("content unset [--if FOLDER]", "Removes the recorded content folder.");
    line.add(Option::text("--if", 0, "FOLDER", nullptr,
                          "only when the recorded folder is FOLDER (as uninstalling does)",
                          [&only](const std::string& folder, double) { only = folder; }));
    std::vector<std::string> operands;
    if (!line.parse(arguments, operands, 0, 0))
        return 0;
    const ContentFolder recorded = ContentFolder::fromRegistry();
    if (!recorded.isFound())
        return 0;
    struct stat wanted, found;
    if (!only.empty()
        && (::stat(only.c_str(), &wanted) != 0 || ::stat(recorded.path().c_str(), &found) != 0
            || wanted.st_dev != found.st_dev || wanted.st_ino != found.st_ino)) {
        note("left the recorded content folder " + recorded.path() + " as it is");
        return 0;
    }
    if (!RegistryKey(registryKey, RegistryKey::Access::query).deleteValue(installPathValue))
        throw ToolError("cannot remove the content folder from the registry store");
    note("removed the recorded content folder " + recorded.path());
    return 0;
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    return arguments.runAction("content",
                               {{"show", "", "show the content folder the plug-in finds and the tool's own", show},
                                {"set", "FOLDER", "record the plug-in's content folder", set},
                                {"unset", "[--if FOLDER]", "remove the recorded content folder", unset}});
}

const CommandRegistration registration({"content", "show or record the content folder of the factory bank", run});

} // namespace
} // namespace voltara
