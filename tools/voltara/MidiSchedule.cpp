#include "tools/voltara/MidiSchedule.h"

#include "tools/voltara/NumberParse.h"
#include "tools/voltara/ToolError.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace voltara {
namespace {

constexpr uint8_t controllerStatus = 0xB0;
constexpr uint8_t programChangeStatus = 0xC0;

std::vector<std::string> fields(const std::string& text)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ':');)
        parts.push_back(part);
    return parts;
}

} // namespace

bool MidiSchedule::accept(const std::string& option, ArgumentList& arguments)
{
    const bool controller = option == "--cc";
    if (!controller && option != "--program-change")
        return false;
    const std::string text = arguments.valueOf(option);
    const std::string given = option + " " + text;
    const std::vector<std::string> parts = fields(text);
    const std::size_t expected = controller ? 3 : 2;
    const auto seconds = parts.size() == expected ? parseNumber(parts[0], 0.0, 1e7) : std::nullopt;
    const auto first = parts.size() == expected ? parseInteger(parts[1], 0, 127) : std::nullopt;
    const auto second = controller && parts.size() == expected ? parseInteger(parts[2], 0, 127) : std::optional<int>(0);
    if (!seconds || !first || !second)
        throw ToolError(given + ": expected " + (controller ? "TIME:CONTROLLER:VALUE" : std::string("TIME:PROGRAM"))
                        + " with a time in seconds and numbers 0 to 127");
    entries_.push_back(
        {*seconds, controller ? controllerStatus : programChangeStatus, uint8_t(*first), uint8_t(*second), given});
    return true;
}

std::vector<MidiSchedule::TimedEvent> MidiSchedule::inFrames(double sampleRate, long long endFrame) const
{
    std::vector<TimedEvent> events;
    for (const Entry& entry : entries_) {
        const auto frame = static_cast<long long>(std::llround(entry.seconds * sampleRate));
        if (frame >= endFrame)
            throw ToolError(entry.given + ": the time is past the end of the output");
        MidiEvent event{};
        event.type = midiEventType;
        event.byteSize = sizeof(MidiEvent);
        event.data[0] = entry.status;
        event.data[1] = entry.data1;
        event.data[2] = entry.data2;
        events.push_back({frame, event});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.frame < b.frame; });
    return events;
}

} // namespace voltara
