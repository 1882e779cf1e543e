#include "tests/support/ProgramRun.h"

#include <csignal>
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

BackgroundProgram::BackgroundProgram(const std::string& program, const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& environment)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> settings(environment);
    pid_ = fork();
    if (pid_ == 0) {
        for (std::string& setting : settings)
            putenv(setting.data());
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
}

BackgroundProgram::~BackgroundProgram()
{
    if (pid_ > 0 && !finished()) {
        kill(pid_, SIGTERM);
        int raw;
        waitpid(pid_, &raw, 0);
    }
}

bool BackgroundProgram::finished()
{
    if (pid_ <= 0)
        return true;
    if (status_ >= 0)
        return true;
    int raw;
    if (waitpid(pid_, &raw, WNOHANG) != pid_)
        return false;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
    return true;
}

} // namespace voltara::test
