#include "VoltaraRun.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace voltara::test {
namespace {

std::string quoted(const std::string& word)
{
    std::string text = "'";
    for (char c : word)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

VoltaraRun::VoltaraRun()
{
    scratch.write("registry/HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara/Install Path",
                  VOLTARA_SOURCE_DIR "/content");
}

VoltaraRun::Result VoltaraRun::operator()(const std::vector<std::string>& arguments) const
{
    std::string command =
        "VOLTARA_REGISTRY=" + quoted(scratch.file("registry")) + " " + quoted(VOLTARA_BINARY_DIR "/voltara");
    for (const std::string& argument : arguments)
        command += " " + quoted(argument);
    command += " >" + quoted(scratch.file("stdout")) + " 2>" + quoted(scratch.file("stderr"));
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = contents(scratch.file("stdout"));
    result.err = contents(scratch.file("stderr"));
    return result;
}

bool VoltaraRun::factoryBankLoaded() const
{
    const std::string out = (*this)({"info"}).out;
    return out.find("0* \"default.fxb not found!\"") == std::string::npos
           && out.find("0* \"[nothing loaded]\"") == std::string::npos;
}

} // namespace voltara::test
