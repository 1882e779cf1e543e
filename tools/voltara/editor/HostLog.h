#pragma once

#include "tools/pluginhost/PluginInstance.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// What the host saw of the user's doing in the editor, in order: edits,
// automation (a run of changes to one parameter as one line), popup menus,
// file selectors.
class HostLog {
public:
    // Names the parameters through the plug-in when printed.
    explicit HostLog(const pluginhost::PluginInstance& plugin) : plugin_(plugin) {}

    void automation(int32_t index, float value);
    void edit(bool begins, int32_t index);
    void note(std::string text);

    // On standard output, under "host calls:".
    void print() const;

private:
    struct Line {
        enum Kind { begin, end, automate, note } kind;
        int32_t index;
        float first;
        float last;
        int count;
        std::string text;
    };
    const pluginhost::PluginInstance& plugin_;
    std::vector<Line> lines_;
};

} // namespace voltara
