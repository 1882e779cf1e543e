#include "tests/windows/Checks.h"
#include "tests/windows/Registry.h"

#include <fstream>

namespace voltara::winhost {

namespace {

constexpr int programCount = 32;

std::vector<std::string> readLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string withoutSeparator(std::string folder)
{
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

} // namespace

void checkContent(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    const std::string folder = withoutSeparator(plan.value("content"));
    const std::vector<std::string> factory = readLines(plan.file(plan.value("programs")));
    log.check(factory.size() == programCount, "the Linux side listed the 32 factory program names");

    struct Case {
        const char* what;
        bool keyPresent;
        std::string value;
        bool loads; // the factory bank, else program 0 tells it is missing
    };
    const Case cases[] = {
        {"no registry key", false, "", false},
        {"Install Path ending in a backslash", true, folder + "\\", true},
        {"Install Path without backslash, two trailing blanks", true, folder + "  ", true},
        {"Install Path cut at a line break", true, folder + "\r\nZ:\\elsewhere", true},
        {"Install Path of a folder without the content", true, withoutSeparator(plan.folder), false},
    };
    for (const Case& c : cases) {
        const bool prepared = c.keyPresent ? registry::writeInstallPath(c.value) : registry::removeKey();
        if (!log.check(prepared, std::string("registry prepared: ") + c.what))
            continue;
        PluginInstance instance(dll);
        if (!log.check(instance.descriptor() != nullptr, std::string("main gives an instance: ") + c.what))
            continue;
        if (!c.loads) {
            const std::string name = instance.text(opGetProgramNameAt, 0);
            log.check(name == "default.fxb not found!", std::string("program 0 tells the bank is missing: ") + c.what,
                      "\"" + name + "\"");
            continue;
        }
        int same = 0;
        std::string first;
        for (int p = 0; p < programCount; ++p) {
            const std::string name = instance.text(opGetProgramNameAt, p);
            if (p < int(factory.size()) && name == factory[p])
                ++same;
            else if (first.empty())
                first = "program " + std::to_string(p) + " is \"" + name + "\"";
        }
        log.check(same == programCount, std::string("the factory bank's 32 names: ") + c.what, first);
    }
    log.check(registry::writeInstallPath(folder + "\\"), "Install Path left at the content folder");
}

} // namespace voltara::winhost
