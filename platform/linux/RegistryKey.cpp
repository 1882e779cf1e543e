#include "platform/RegistryKey.h"

#include "platform/RegularFile.h"

#include <cstring>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace voltara {

namespace {

std::string storeRoot()
{
    const char* root = std::getenv("VOLTARA_REGISTRY");
    if (root && *root)
        return root;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config)
        return std::string(config) + "/voltara/registry";
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.config/voltara/registry";
    return std::string();
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates every missing folder along path.
bool makeFolders(const std::string& path)
{
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!isFolder(prefix) && mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos)
            return isFolder(path);
    }
}

} // namespace

struct RegistryKey::Handle {
    std::string folder; // empty while not open
};

RegistryKey::RegistryKey(const char* path, Access access) : handle_(new Handle)
{
    const std::string root = storeRoot();
    if (root.empty())
        return;
    std::string folder = root + "/HKEY_LOCAL_MACHINE/" + path;
    for (char& c : folder)
        if (c == '\\')
            c = '/';
    const bool usable =
        access == Access::full ? makeFolders(folder) && ::access(folder.c_str(), W_OK) == 0 : isFolder(folder);
    if (usable)
        handle_->folder = folder;
}

RegistryKey::~RegistryKey() = default;

bool RegistryKey::isOpen() const
{
    return !handle_->folder.empty();
}

// A value is a regular file of the key's folder: anything else there (a FIFO,
// a link to a device) is no value.
bool RegistryKey::readValue(const char* name, std::string& bytes) const
{
    if (!isOpen())
        return false;
    std::string data(maxValueSize + 1, '\0');
    const int64_t count =
        readRegularFile((handle_->folder + '/' + name).c_str(), &data[0], static_cast<int64_t>(data.size()));
    if (count < 0 || count > static_cast<int64_t>(maxValueSize))
        return false;
    data.resize(static_cast<size_t>(count));
    bytes = data;
    return true;
}

bool RegistryKey::writeString(const char* name, const char* text) const
{
    if (!isOpen())
        return false;
    std::FILE* file = std::fopen((handle_->folder + '/' + name).c_str(), "wb");
    if (!file)
        return false;
    const size_t size = std::strlen(text) + 1;
    const bool written = std::fwrite(text, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

bool RegistryKey::deleteValue(const char* name) const
{
    return isOpen() && (std::remove((handle_->folder + '/' + name).c_str()) == 0 || errno == ENOENT);
}

} // namespace voltara
