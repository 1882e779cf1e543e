#include "tools/voltara/editor/HostLog.h"

#include <cstdio>

namespace voltara {

void HostLog::automation(int32_t index, float value)
{
    if (!lines_.empty() && lines_.back().index == index && lines_.back().kind == Line::automate) {
        Line& run = lines_.back();
        run.last = value;
        ++run.count;
        return;
    }
    lines_.push_back({Line::automate, index, value, value, 1, {}});
}

void HostLog::edit(bool begins, int32_t index)
{
    lines_.push_back({begins ? Line::begin : Line::end, index, 0, 0, 0, {}});
}

void HostLog::note(std::string text)
{
    lines_.push_back({Line::note, -1, 0, 0, 0, std::move(text)});
}

void HostLog::print() const
{
    std::printf("host calls:%s\n", lines_.empty() ? " none" : "");
    for (const Line& line : lines_) {
        const std::string name = line.index >= 0 ? plugin_.parameterName(line.index) : "";
        switch (line.kind) {
        case Line::begin: std::printf("    begin edit   %2d %s\n", line.index, name.c_str()); break;
        case Line::end: std::printf("    end edit     %2d %s\n", line.index, name.c_str()); break;
        case Line::automate:
            if (line.count == 1)
                std::printf("    automate     %2d %-12s %.4f\n", line.index, name.c_str(), double(line.first));
            else
                std::printf("    automate     %2d %-12s %.4f .. %.4f (%d calls)\n", line.index, name.c_str(),
                            double(line.first), double(line.last), line.count);
            break;
        case Line::note: std::printf("    %s\n", line.text.c_str()); break;
        }
    }
}

} // namespace voltara
