#include "tools/voltara/rack/SavedPlace.h"

#include "tools/pluginhost/RackSessionText.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/ToolError.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace voltara {

namespace RackSessionText = pluginhost::RackSessionText;
using pluginhost::RackSession;

std::string SavedPlace::inConfigFolder(const std::string& name)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return std::string(config) + "/voltara/" + name;
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.config/voltara/" + name;
    return "";
}

bool SavedPlace::restore(pluginhost::PluginInstance& host) const
{
    std::ifstream file(path_, std::ios::binary);
    if (path_.empty() || !file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<RackSession> session = RackSession::capture(host.descriptor());
    if (!session)
        return false;
    const RackSessionText::Report report = RackSessionText::read(text.str(), *session);
    if (!report.isSession) {
        warn(path_ + " holds no rack session: the rack starts without it, and its place is kept there at the end");
        return false;
    }
    for (const std::string& problem : report.problems)
        warn(path_ + ": " + problem);
    session->applyTo(host.descriptor());
    return true;
}

void SavedPlace::keep(const pluginhost::PluginInstance& host) const
{
    const std::optional<RackSession> session = RackSession::capture(host.descriptor());
    if (!session)
        throw ToolError("the plug-in does not tell its programs: its place is not kept");
    std::error_code failed;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), failed);
    if (failed)
        throw ToolError("cannot make the folder of " + path_ + ": " + failed.message());
    PendingFile out(path_);
    std::ofstream file(out.temporaryPath(), std::ios::binary);
    file << RackSessionText::write(*session);
    file.close();
    if (!file)
        throw ToolError("cannot write " + path_);
    out.commit();
}

} // namespace voltara
