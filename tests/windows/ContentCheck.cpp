#include "tests/windows/Checks.h"
#include "tests/windows/Registry.h"

#include "resources/DibFile.h"

#include <cctype>
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

// The 32 program names of the instance against the factory bank's.
void checkFactoryNames(CheckLog& log, PluginInstance& instance, const std::vector<std::string>& factory,
                       const std::string& what)
{
    int same = 0;
    std::string first;
    for (int p = 0; p < programCount; ++p) {
        const std::string name = instance.text(opGetProgramNameAt, p);
        if (p < int(factory.size()) && name == factory[p])
            ++same;
        else if (first.empty())
            first = "program " + std::to_string(p) + " is \"" + name + "\"";
    }
    log.check(same == programCount, "the factory bank's 32 names: " + what, first);
}

// Runs a command line to its end with its standard error into a file;
// answers its exit code, or -1 when it could not start or did not end.
DWORD runToEnd(const std::string& commandLine, const std::string& errorFile)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE errors = CreateFileA(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = errors;
    startup.hStdError = errors;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    DWORD code = DWORD(-1);
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (errors != INVALID_HANDLE_VALUE)
        CloseHandle(errors);
    return code;
}

} // namespace

void checkInstalled(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    const std::vector<std::string> factory = readLines(plan.file(plan.value("installed")));
    log.check(factory.size() == programCount, "the Linux side listed the 32 factory program names");
    log.note("Install Path: \"" + registry::installPath() + "\"");
    PluginInstance instance(dll);
    if (!log.check(instance.descriptor() != nullptr, "main gives an instance of the installed plug-in"))
        return;
    checkFactoryNames(log, instance, factory, "found through the registry as the installer left it");

    // A program run while the instance is open; the DLL it holds must stay.
    char path[MAX_PATH] = "";
    GetModuleFileNameA(moduleOf(dll), path, MAX_PATH);
    for (const Plan::Line& line : plan.all("busy")) {
        const std::string& expected = line.fields.at(0);
        const std::string errorFile = plan.file("busy-errors.txt");
        std::vector<uint8_t> before, after, errors;
        readFileBytes(path, before);
        const DWORD code = runToEnd(line.fields.at(1), errorFile);
        readFileBytes(errorFile, errors);
        std::string said(errors.begin(), errors.end());
        while (!said.empty() && std::isspace(static_cast<unsigned char>(said.back())))
            said.pop_back();
        log.check(code != 0 && code != DWORD(-1),
                  "while a host holds the plug-in: " + line.fields.at(1) + " ends refused",
                  "exit code " + std::to_string(long(code)));
        log.check(said.find(expected) != std::string::npos, "and says so: \"" + expected + "\"", said);
        log.check(readFileBytes(path, after) && !before.empty() && after == before,
                  std::string("and leaves ") + path + " as it was");
    }
}

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
        checkFactoryNames(log, instance, factory, c.what);
    }
    log.check(registry::writeInstallPath(folder + "\\"), "Install Path left at the content folder");
}

} // namespace voltara::winhost
