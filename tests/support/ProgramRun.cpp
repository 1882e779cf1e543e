#include "tests/support/ProgramRun.h"

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace voltara::test {
namespace {

std::string quoted(const std::string& word)
{
    std::string text = "'";
    for (char c : word)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

} // namespace

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, const TempFolder& scratch)
{
    std::string command;
    for (const std::string& setting : environment) {
        const auto equals = setting.find('=');
        command += setting.substr(0, equals + 1) + quoted(setting.substr(equals + 1)) + " ";
    }
    command += quoted(program);
    for (const std::string& argument : arguments)
        command += " " + quoted(argument);
    command += " >" + quoted(scratch.file("stdout")) + " 2>" + quoted(scratch.file("stderr"));
    const int raw = std::system(command.c_str());
    ProgramResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = scratch.read("stdout");
    result.err = scratch.read("stderr");
    return result;
}

std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

} // namespace voltara::test
