#include "tools/voltara/rack/MidiSchedule.h"

#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/NumberParse.h"
#include "tools/voltara/base/ToolError.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace voltara {
namespace {

constexpr uint8_t controllerStatus = 0xB0;
constexpr uint8_t programChangeStatus = 0xC0;
constexpr double latestSeconds = 1e7;

// The time before the first ':' and the rest.
std::pair<std::optional<double>, std::string> timeAndRest(const std::string& text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return {std::nullopt, ""};
    return {parseNumber(text.substr(0, colon), 0.0, latestSeconds), text.substr(colon + 1)};
}

} // namespace

void MidiSchedule::addOptions(CommandLine& line)
{
    line.add(Option::text(
        "--cc", 0, "TIME:CONTROLLER:VALUE", nullptr,
        "a MIDI controller at TIME seconds (channel 1), controller and value 0 to 127",
        [this](const std::string& text, double) { addController(text); }, true));
    line.add(Option::text(
        "--program-change", 0, "TIME:P", nullptr,
        "a MIDI program change at TIME seconds to program P, by number (0 to 31) or name",
        [this](const std::string& text, double) { addProgramChange(text); }, true));
}

void MidiSchedule::addController(const std::string& text)
{
    const std::string given = "--cc " + text;
    const auto [seconds, rest] = timeAndRest(text);
    const auto colon = rest.find(':');
    const auto controller = colon == std::string::npos ? std::nullopt : parseInteger(rest.substr(0, colon), 0, 127);
    const auto value = colon == std::string::npos ? std::nullopt : parseInteger(rest.substr(colon + 1), 0, 127);
    if (!seconds || !controller || !value)
        throw ToolError(given + ": expected TIME:CONTROLLER:VALUE with a time in seconds and numbers 0 to 127");
    entries_.push_back({*seconds, controllerStatus, uint8_t(*controller), uint8_t(*value), "", given});
}

void MidiSchedule::addProgramChange(const std::string& text)
{
    const std::string given = "--program-change " + text;
    const auto [seconds, program] = timeAndRest(text);
    if (!seconds || program.empty())
        throw ToolError(given + ": expected TIME:PROGRAM with a time in seconds and a program number or name");
    entries_.push_back({*seconds, programChangeStatus, 0, 0, program, given});
}

double MidiSchedule::lastSeconds() const
{
    double last = 0.0;
    for (const Entry& entry : entries_)
        last = std::max(last, entry.seconds);
    return last;
}

std::vector<MidiSchedule::TimedEvent> MidiSchedule::inFrames(double sampleRate, long long endFrame,
                                                             const ProgramLookup& program) const
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
        event.data[1] =
            entry.status == programChangeStatus ? uint8_t(program(entry.program, entry.given)) : entry.data1;
        event.data[2] = entry.data2;
        events.push_back({frame, event});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.frame < b.frame; });
    return events;
}

} // namespace voltara
