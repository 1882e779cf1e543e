#pragma once

#include "tools/pluginhost/PluginInstance.h"

#include <string>

namespace voltara {

// Where a host of ours keeps the user's place in the rack between runs (every
// program, its name and values, and the current one): a rack session in its
// text form (tools/pluginhost/RackSessionText), the same form an LV2 host's
// session holds, so that a setting moves between the two.
class SavedPlace {
public:
    // $XDG_CONFIG_HOME/voltara/NAME, else ~/.config/voltara/NAME; empty when
    // neither variable is set.
    static std::string inConfigFolder(const std::string& name);

    explicit SavedPlace(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    // Puts the saved session into the rack, over what it holds; what the file
    // holds out of order is told on standard error and left as it was. False
    // when there is no file (or it is no session).
    bool restore(pluginhost::PluginInstance& host) const;
    // Writes the rack's session, making the folder when needed; throws
    // ToolError when it cannot.
    void keep(const pluginhost::PluginInstance& host) const;

private:
    std::string path_;
};

} // namespace voltara
