#include "tools/voltara/base/Installation.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara::Installation {
namespace {

bool exists(const std::string& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0;
}

bool sameFolder(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

const char* const pluginName = "voltara_fx.so";

} // namespace

std::string executableFolder()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return ".";
    const std::string executable(self, std::size_t(length));
    return executable.substr(0, executable.rfind('/'));
}

std::string plugin()
{
    const std::string folder = executableFolder();
    const std::string beside = folder + "/" + pluginName;
    const std::string installed = folder + "/../lib/voltara/" + pluginName;
    return !exists(beside) && exists(installed) ? installed : beside;
}

std::string contentFolder()
{
    const std::string folder = executableFolder();
    if (sameFolder(folder, VOLTARA_BUILD_DIR))
        return VOLTARA_SOURCE_DIR "/content";
    const std::string installed = folder + "/../share/voltara/content";
    char resolved[PATH_MAX];
    return ::realpath(installed.c_str(), resolved) != nullptr ? resolved : installed;
}

} // namespace voltara::Installation
